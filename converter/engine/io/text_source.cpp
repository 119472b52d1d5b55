#include "engine/io/text_source.h"

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

std::string megabytes(std::size_t bytes) { return std::to_string(bytes >> 20) + " MB"; }

}  // namespace

long readAtOffset(int fd, std::size_t offset, char* into, std::size_t size, std::string& error) {
    for (;;) {
        const ssize_t got = ::pread(fd, into, size, static_cast<off_t>(offset));
        if (got >= 0) return static_cast<long>(got);
        if (errno != EINTR) {
            error = systemError("cannot read: ");
            return -1;
        }
    }
}

int openRegularFile(const std::filesystem::path& path, std::string_view what, std::string& error) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        error = systemError("cannot open: ");
        return -1;
    }
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        error = systemError("cannot read: ");
    } else if (S_ISDIR(info.st_mode)) {
        error = "is a folder, not " + std::string(what);
    } else if (!S_ISREG(info.st_mode)) {
        error = "is not a regular file, so it cannot be " + std::string(what);
    } else if (::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
        error = systemError("cannot read: ");
    } else {
        return fd;
    }
    ::close(fd);
    return -1;
}

SourceFile::~SourceFile() {
    if (fd_ >= 0) ::close(fd_);
}

bool SourceFile::open(const std::filesystem::path& path, std::string& error, std::string_view what) {
    fd_ = openRegularFile(path, what, error);
    if (fd_ < 0) return false;
    struct stat info {};
    if (::fstat(fd_, &info) != 0) {
        error = systemError("cannot read: ");
        return false;
    }
    size_ = static_cast<std::size_t>(info.st_size);
    modified_ = modifiedTime(info);
    if (!digest_.ready()) {
        error = "not enough memory";
        return false;
    }
    return true;
}

bool SourceFile::rewind(std::string& error) {
    struct stat info {};
    if (::fstat(fd_, &info) != 0) {
        error = systemError("cannot read: ");
        return false;
    }
    if (static_cast<std::size_t>(info.st_size) != size_ || modifiedTime(info) != modified_) {
        error = kSourceChanged;
        return false;
    }
    if (::lseek(fd_, 0, SEEK_SET) != 0) {
        error = systemError("cannot read: ");
        return false;
    }
    digest_.startScan();
    return true;
}

long SourceFile::read(char* into, std::size_t size, std::string& error) {
    for (;;) {
        const ssize_t got = ::read(fd_, into, size);
        if (got >= 0) {
            digest_.add(into, static_cast<std::size_t>(got));
            return static_cast<long>(got);
        }
        if (errno != EINTR) {
            error = systemError("cannot read: ");
            return -1;
        }
    }
}

long SourceFile::readAt(std::size_t offset, char* into, std::size_t size, std::string& error) {
    struct stat info {};
    if (::fstat(fd_, &info) != 0) {
        error = systemError("cannot read: ");
        return -1;
    }
    if (static_cast<std::size_t>(info.st_size) != size_ || modifiedTime(info) != modified_) {
        error = kSourceChanged;
        return -1;
    }
    return readAtOffset(fd_, offset, into, size, error);
}

bool SourceFile::sameAsLastScan(std::string& error) { return digest_.sameAsLastScan(error); }

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

bool readWholeFile(const std::filesystem::path& path, std::string& text, std::string& error, std::string_view what,
                   std::size_t maxBytes) {
    const int fd = openRegularFile(path, what, error);
    if (fd < 0) return false;
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        error = systemError("cannot read: ");
        ::close(fd);
        return false;
    }
    const auto tooLarge = [&] {
        error = "is larger than " + megabytes(maxBytes) + ", more than " + std::string(what) + " ever holds";
        ::close(fd);
        return false;
    };
    if (static_cast<std::size_t>(info.st_size) > maxBytes) return tooLarge();
    // The size is a first guess: the file may change while it is read.
    constexpr std::size_t kChunk = std::size_t{1} << 16;
    std::size_t filled = 0;
    text.clear();
    text.reserve(static_cast<std::size_t>(info.st_size) + kChunk);  // room to see the end without moving the text
    text.resize(static_cast<std::size_t>(info.st_size));
    for (;;) {
        const ssize_t got = readInto(fd, text, filled);
        if (got < 0) {
            error = systemError("cannot read: ");
            ::close(fd);
            return false;
        }
        filled += static_cast<std::size_t>(got);
        if (filled < text.size()) break;
        if (filled > maxBytes) return tooLarge();
        text.resize(text.size() + kChunk);
    }
    text.resize(filled);
    ::close(fd);
    return true;
}

}  // namespace pathshift
