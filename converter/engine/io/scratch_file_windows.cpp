// The nameless temporary file on Windows: a file in the user's temporary folder that the system
// deletes when its handle closes, whatever happens to the process.
#include "engine/io/scratch_file.h"

#include <windows.h>
#include <io.h>

#include <system_error>

#include "engine/io/quoted_name.h"
#include "engine/io/windows_file.h"

namespace pathshift {

ScratchFile::~ScratchFile() {
    if (fd_ >= 0) _close(fd_);
}

bool ScratchFile::open() {
    std::error_code ec;
    const std::filesystem::path folder = std::filesystem::temp_directory_path(ec);
    if (ec) {
        error_ = "cannot find the temporary folder: " + ec.message();
        return false;
    }
    std::filesystem::path name;
    fd_ = windows::createUniqueFile(folder, "pathshift-", FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, name);
    if (fd_ < 0) {
        error_ = windows::lastError(("cannot create a temporary file in " + quotedName(folder)).c_str());
        return false;
    }
    return true;
}

// Copied out through the process, by the caller.
ScratchFile::CopyOut ScratchFile::copyTo(int, std::string&) { return CopyOut::Unsupported; }

bool ScratchFile::write(std::string_view text) {
    if (!windows::writeAll(fd_, text)) {
        error_ = windows::lastError("cannot write a temporary file");
        return false;
    }
    size_ += text.size();
    return true;
}

bool ScratchFile::rewind(std::string& error) {
    if (!windows::seekToStart(fd_)) {
        error = windows::lastError("cannot read a temporary file");
        return false;
    }
    return true;
}

long ScratchFile::read(char* into, std::size_t size, std::string& error) {
    const long got = windows::readSome(fd_, into, size);
    if (got < 0) error = windows::lastError("cannot read a temporary file");
    return got;
}

long ScratchFile::readAt(std::size_t offset, char* into, std::size_t size, std::string& error) {
    const long got = windows::readSomeAt(fd_, offset, into, size);
    if (got < 0) error = windows::lastError("cannot read a temporary file");
    return got;
}

}  // namespace pathshift
