#include "engine/io/scratch_file.h"

#include <fcntl.h>
#include <sys/sendfile.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "engine/io/quoted_name.h"

namespace pathshift {

ScratchFile::~ScratchFile() {
    if (fd_ >= 0) ::close(fd_);
}

bool ScratchFile::open() {
    std::error_code ec;
    std::filesystem::path folder = std::filesystem::temp_directory_path(ec);
    if (ec) folder = "/tmp";
    // Without a name from the start where the filesystem allows it, so nothing is ever left behind.
    fd_ = ::open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd_ >= 0) return true;
    std::string name = (folder / "pathshift-XXXXXX").string();
    fd_ = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd_ < 0) {
        error_ = "cannot create a temporary file in " + quotedName(folder) + ": " + std::strerror(errno);
        return false;
    }
    ::unlink(name.c_str());
    return true;
}

bool ScratchFile::write(std::string_view text) {
    while (!text.empty()) {
        const ssize_t put = ::write(fd_, text.data(), text.size());
        if (put < 0) {
            if (errno == EINTR) continue;
            error_ = std::string("cannot write a temporary file: ") + std::strerror(errno);
            return false;
        }
        text.remove_prefix(static_cast<std::size_t>(put));
        size_ += static_cast<std::size_t>(put);
    }
    return true;
}

bool ScratchFile::rewind(std::string& error) {
    if (::lseek(fd_, 0, SEEK_SET) != 0) {
        error = std::string("cannot read a temporary file: ") + std::strerror(errno);
        return false;
    }
    return true;
}

long ScratchFile::read(char* into, std::size_t size, std::string& error) {
    for (;;) {
        const ssize_t got = ::read(fd_, into, size);
        if (got >= 0) return static_cast<long>(got);
        if (errno != EINTR) {
            error = std::string("cannot read a temporary file: ") + std::strerror(errno);
            return -1;
        }
    }
}

ScratchFile::CopyOut ScratchFile::copyTo(int out, std::string& error) {
    off_t offset = 0;
    while (static_cast<std::size_t>(offset) < size_) {
        const ssize_t sent = ::sendfile(out, fd_, &offset, size_ - static_cast<std::size_t>(offset));
        if (sent > 0) continue;
        if (sent < 0 && errno == EINTR) continue;
        if (sent < 0 && offset == 0 && (errno == EINVAL || errno == ENOSYS)) return CopyOut::Unsupported;
        error = sent < 0 ? std::strerror(errno) : "the temporary file ended early";
        return CopyOut::Failed;
    }
    return CopyOut::Sent;
}

long ScratchFile::readAt(std::size_t offset, char* into, std::size_t size, std::string& error) {
    return readAtOffset(fd_, offset, into, size, error);
}

}  // namespace pathshift
