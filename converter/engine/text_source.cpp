#include "engine/text_source.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pathshift {
namespace {

long long modifiedTime(const struct stat& info) {
    return static_cast<long long>(info.st_mtim.tv_sec) * 1000000000LL + info.st_mtim.tv_nsec;
}

std::string systemError(const char* what) {
    std::string text(what);
    text.append(std::strerror(errno));
    return text;
}

}  // namespace

SourceFile::~SourceFile() {
    if (fd_ >= 0) ::close(fd_);
}

bool SourceFile::open(const std::filesystem::path& path, std::string& error) {
    fd_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd_ < 0) {
        error = systemError("cannot open: ");
        return false;
    }
    struct stat info {};
    if (::fstat(fd_, &info) != 0) {
        error = systemError("cannot read: ");
        return false;
    }
    if (S_ISDIR(info.st_mode)) {
        error = "is a folder, not a program";
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        error = "is not a regular file (the program is read twice)";
        return false;
    }
    size_ = static_cast<std::size_t>(info.st_size);
    modified_ = modifiedTime(info);
    return true;
}

bool SourceFile::rewind(std::string& error) {
    struct stat info {};
    if (::fstat(fd_, &info) != 0) {
        error = systemError("cannot read: ");
        return false;
    }
    if (static_cast<std::size_t>(info.st_size) != size_ || modifiedTime(info) != modified_) {
        error = "the file changed while it was being converted; convert it again once it is complete";
        return false;
    }
    if (::lseek(fd_, 0, SEEK_SET) != 0) {
        error = systemError("cannot read: ");
        return false;
    }
    return true;
}

long SourceFile::read(char* into, std::size_t size, std::string& error) {
    for (;;) {
        const ssize_t got = ::read(fd_, into, size);
        if (got >= 0) return static_cast<long>(got);
        if (errno != EINTR) {
            error = systemError("cannot read: ");
            return -1;
        }
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
