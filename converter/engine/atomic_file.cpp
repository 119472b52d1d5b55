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

}  // namespace pathshift
