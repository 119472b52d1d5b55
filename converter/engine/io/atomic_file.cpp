// Linux: outputs are created with O_TMPFILE and linked into the folder once complete, so not even
// SIGKILL or a power cut leaves a partial file with a name.

#include "engine/io/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <climits>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "engine/io/quoted_name.h"

namespace pathshift {
namespace {

// Named temporaries the signal handler removes. Fixed storage: the handler may neither allocate nor
// lock, and a slot's text never goes away under it. As many as a run converts files at once.
constexpr int kCleanupSlots = 1024;
// Zero-initialised as a static: no start-up code touches its pages, so the memory is used only
// when a slot is.
struct CleanupSlot {
    std::atomic<bool> taken;
    std::atomic<bool> named;  // path holds a name to remove
    char path[PATH_MAX]{};
};
constinit CleanupSlot cleanupSlots[kCleanupSlots];

extern "C" void removeTemporariesAndDie(int signal) {
    for (CleanupSlot& slot : cleanupSlots)
        if (slot.named.load(std::memory_order_acquire)) ::unlink(slot.path);
    // SA_RESETHAND put back the default action: the signal ends the process once this returns,
    // with the exit status a caller expects of it.
    ::raise(signal);
}

void installCleanupHandlers() {
    static std::once_flag once;
    std::call_once(once, [] {
        for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) {
            struct sigaction current {};
            // A signal the process ignores (nohup) or handles itself is left alone.
            if (::sigaction(signal, nullptr, &current) != 0 || (current.sa_flags & SA_SIGINFO) != 0 ||
                current.sa_handler != SIG_DFL)
                continue;
            struct sigaction action {};
            action.sa_handler = removeTemporariesAndDie;
            sigemptyset(&action.sa_mask);
            action.sa_flags = SA_RESETHAND;
            ::sigaction(signal, &action, nullptr);
        }
    });
}

int registerTemporary(const std::string& path) {
    if (path.size() >= PATH_MAX) return -1;
    installCleanupHandlers();
    for (int i = 0; i < kCleanupSlots; ++i) {
        bool expected = false;
        if (!cleanupSlots[i].taken.compare_exchange_strong(expected, true)) continue;
        std::memcpy(cleanupSlots[i].path, path.c_str(), path.size() + 1);
        cleanupSlots[i].named.store(true, std::memory_order_release);
        return i;
    }
    return -1;
}

void unregisterTemporary(int& slot) {
    if (slot < 0) return;
    cleanupSlots[slot].named.store(false, std::memory_order_release);
    cleanupSlots[slot].taken.store(false, std::memory_order_release);
    slot = -1;
}

mode_t defaultFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

bool writeProtected(const std::filesystem::path& target) {
    struct stat info {};
    return ::stat(target.c_str(), &info) == 0 && S_ISREG(info.st_mode) && (info.st_mode & 0222) == 0;
}

// Unnamed files are named through /proc; without it (or where the environment asks for named
// temporaries, for a filesystem that misbehaves with unnamed files) they are not used.
bool unnamedFilesWanted() {
    const char* named = std::getenv("PATHSHIFT_NAMED_TEMPORARIES");
    return (named == nullptr || *named == '\0') && ::access("/proc/self/fd", X_OK) == 0;
}

std::string hiddenName(const std::filesystem::path& target, const char* suffix) {
    const std::filesystem::path folder = target.has_parent_path() ? target.parent_path() : ".";
    std::string name(1, '.');
    name += target.filename().string();
    name += suffix;
    return (folder / name).string();
}

}  // namespace

AtomicFile::AtomicFile(std::filesystem::path target) : target_(std::move(target)) {}

AtomicFile::~AtomicFile() { discard(); }

bool AtomicFile::failWith(const std::string& what) {
    if (error_.empty()) error_ = what + ": " + std::strerror(errno);
    return false;
}

bool AtomicFile::targetWriteProtected() const { return writeProtected(target_); }

bool AtomicFile::open() {
    if (!targetReplaceable()) return false;
    const std::filesystem::path folder = target_.has_parent_path() ? target_.parent_path() : ".";
    if (unnamedFilesWanted()) {
        fd_ = ::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0666);
        unnamed_ = fd_ >= 0;
        if (unnamed_) return true;
    }
    temporary_ = hiddenName(target_, ".XXXXXX");
    fd_ = ::mkostemp(temporary_.data(), O_CLOEXEC);
    if (fd_ < 0) {
        temporary_.clear();
        return failWith("cannot create a file in " + quotedName(folder));
    }
    cleanupSlot_ = registerTemporary(temporary_);
    ::fchmod(fd_, defaultFileMode());
    return true;
}

bool AtomicFile::write(std::string_view text) {
    if (fd_ < 0) return false;
    while (!text.empty()) {
        const ssize_t written = ::write(fd_, text.data(), text.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return failWith("cannot write " + quotedName(target_));
        }
        text.remove_prefix(static_cast<std::size_t>(written));
        written_ += static_cast<std::uint64_t>(written);
    }
    startWriteback();
    return true;
}

// The disk is handed each finished stretch while the rest is still being converted, so that the
// flush before naming the file waits only for the last one. Starting the writing never waits, and a
// filesystem that cannot do it loses nothing: the flush writes what is left.
void AtomicFile::startWriteback() {
    constexpr std::uint64_t kStretch = std::uint64_t{8} << 20;
    if (written_ - handedToDisk_ < kStretch) return;
    ::sync_file_range(fd_, static_cast<off_t>(handedToDisk_), static_cast<off_t>(written_ - handedToDisk_),
                      SYNC_FILE_RANGE_WRITE);
    handedToDisk_ = written_;
}

// Links the unnamed file in: straight under the target's name when there is none yet, otherwise
// under a hidden name that is then renamed over the old file.
bool AtomicFile::nameUnnamed() {
    const std::string self = "/proc/self/fd/" + std::to_string(fd_);
    if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, target_.c_str(), AT_SYMLINK_FOLLOW) == 0) return true;
    if (errno != EEXIST) return failWith("cannot name " + quotedName(target_));
    static std::atomic<unsigned> serial{0};
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string suffix(1, '.');
        suffix += std::to_string(::getpid());
        suffix += '-';
        suffix += std::to_string(serial++);
        temporary_ = hiddenName(target_, suffix.c_str());
        cleanupSlot_ = registerTemporary(temporary_);
        if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, temporary_.c_str(), AT_SYMLINK_FOLLOW) == 0) return true;
        const int reason = errno;
        unregisterTemporary(cleanupSlot_);
        temporary_.clear();
        errno = reason;
        if (reason != EEXIST) break;
    }
    return failWith("cannot name " + quotedName(target_));
}

bool AtomicFile::commit() {
    if (fd_ < 0) return false;
    if (::fsync(fd_) != 0) return failWith("cannot write " + quotedName(target_) + " to disk");
    if (unnamed_ && !nameUnnamed()) return false;
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) return failWith("cannot close " + quotedName(target_));
    if (!temporary_.empty()) {
        if (::rename(temporary_.c_str(), target_.c_str()) != 0) return failWith("cannot replace " + quotedName(target_));
        unregisterTemporary(cleanupSlot_);
        temporary_.clear();
    }
    return true;
}

void AtomicFile::discard() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temporary_.empty()) {
        ::unlink(temporary_.c_str());
        unregisterTemporary(cleanupSlot_);
        temporary_.clear();
    }
}

}  // namespace pathshift
