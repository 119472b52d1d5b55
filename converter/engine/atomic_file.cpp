#include "engine/atomic_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pathshift {
namespace {

mode_t defaultFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

AtomicFile::AtomicFile(std::filesystem::path target) : target_(std::move(target)) {}

AtomicFile::~AtomicFile() { discard(); }

bool AtomicFile::failWith(const char* what) {
    if (error_.empty()) error_ = std::string(what) + ": " + std::strerror(errno);
    return false;
}

bool AtomicFile::open() {
    const std::filesystem::path folder = target_.has_parent_path() ? target_.parent_path() : ".";
    std::string name = target_.filename().string();
    name.insert(0, 1, '.');
    name.append(".XXXXXX");
    temporary_ = (folder / name).string();
    fd_ = ::mkstemp(temporary_.data());
    if (fd_ < 0) {
        temporary_.clear();
        return failWith("cannot create a file in the destination folder");
    }
    ::fchmod(fd_, defaultFileMode());
    return true;
}

bool AtomicFile::write(std::string_view text) {
    if (fd_ < 0) return false;
    while (!text.empty()) {
        const ssize_t written = ::write(fd_, text.data(), text.size());
        if (written < 0) {
            if (errno == EINTR) continue;
            return failWith("cannot write the converted program");
        }
        text.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

bool AtomicFile::commit() {
    if (fd_ < 0) return false;
    if (::fsync(fd_) != 0) return failWith("cannot write the converted program to disk");
    const int fd = fd_;
    fd_ = -1;
    if (::close(fd) != 0) return failWith("cannot close the converted program");
    if (::rename(temporary_.c_str(), target_.c_str()) != 0) return failWith("cannot replace the destination file");
    temporary_.clear();
    return true;
}

void AtomicFile::discard() {
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (!temporary_.empty()) {
        ::unlink(temporary_.c_str());
        temporary_.clear();
    }
}

namespace {

// Reads into text[from, text.size()); returns the bytes read before the end of the file, or -1.
ssize_t readInto(int fd, std::string& text, std::size_t from) {
    std::size_t done = from;
    while (done < text.size()) {
        const ssize_t got = ::read(fd, text.data() + done, text.size() - done);
        if (got < 0) {
            if (errno == EINTR) continue;
            return -1;
        }
        if (got == 0) break;
        done += static_cast<std::size_t>(got);
    }
    return static_cast<ssize_t>(done - from);
}

}  // namespace

bool readWholeFile(const std::filesystem::path& path, std::string& text, std::string& error) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = std::string("cannot open: ") + std::strerror(errno);
        return false;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        error = std::string("cannot read: ") + std::strerror(errno);
        ::close(fd);
        return false;
    }
    if (S_ISDIR(info.st_mode)) {
        error = "is a folder, not a program";
        ::close(fd);
        return false;
    }
    // The size is a first guess: the file may be a pipe or change while it is read.
    constexpr std::size_t kChunk = std::size_t{1} << 16;
    std::size_t filled = 0;
    const std::size_t expected = S_ISREG(info.st_mode) ? static_cast<std::size_t>(info.st_size) : kChunk;
    text.clear();
    text.reserve(expected + kChunk);  // room to see the end of the file without moving the text
    text.resize(expected);
    for (;;) {
        const ssize_t got = readInto(fd, text, filled);
        if (got < 0) {
            error = std::string("cannot read: ") + std::strerror(errno);
            ::close(fd);
            return false;
        }
        filled += static_cast<std::size_t>(got);
        if (filled < text.size()) break;
        text.resize(text.size() + kChunk);
    }
    text.resize(filled);
    ::close(fd);
    return true;
}

}  // namespace pathshift
