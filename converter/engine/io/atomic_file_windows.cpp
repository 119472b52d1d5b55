// Atomic replacement on Windows: the text goes into a new file beside the target, is flushed to
// disk, and then takes the target's place with the system's own replace call, which keeps the
// target's attributes and security; a target that does not exist yet is created by a move.
#include "engine/io/atomic_file.h"

#include <windows.h>
#include <io.h>

#include "engine/io/quoted_name.h"
#include "engine/io/windows_file.h"

namespace pathshift {
namespace {

bool writeProtected(const std::filesystem::path& target) {
    const DWORD attributes = GetFileAttributesW(windows::longPath(target).c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY) &&
           (attributes & FILE_ATTRIBUTE_READONLY);
}

}  // namespace

AtomicFile::AtomicFile(std::filesystem::path target) : target_(std::move(target)) {}

AtomicFile::~AtomicFile() { discard(); }

bool AtomicFile::failWith(const std::string& what) {
    if (error_.empty()) error_ = windows::lastError(what.c_str());
    return false;
}

bool AtomicFile::targetWriteProtected() const { return writeProtected(target_); }

bool AtomicFile::open() {
    if (!targetReplaceable()) return false;
    const std::filesystem::path folder = target_.has_parent_path() ? target_.parent_path() : ".";
    std::string prefix(1, '.');
    prefix.append(target_.filename().string()).push_back('.');
    std::filesystem::path name;
    fd_ = windows::createUniqueFile(folder, prefix, FILE_ATTRIBUTE_NORMAL, name);
    if (fd_ < 0) return failWith("cannot create a file in " + quotedName(folder));
    temporary_ = name.string();
    return true;
}

bool AtomicFile::write(std::string_view text) {
    if (fd_ < 0) return false;
    return windows::writeAll(fd_, text) || failWith("cannot write " + quotedName(target_));
}

bool AtomicFile::commit() {
    if (fd_ < 0) return false;
    if (!FlushFileBuffers(windows::handleOf(fd_))) return failWith("cannot write " + quotedName(target_) + " to disk");
    const int fd = fd_;
    fd_ = -1;
    if (_close(fd) != 0) return failWith("cannot close " + quotedName(target_));
    const std::wstring temporary = windows::longPath(temporary_);
    const std::wstring target = windows::longPath(target_);
    if (!ReplaceFileW(target.c_str(), temporary.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr, nullptr)) {
        if (GetLastError() != ERROR_FILE_NOT_FOUND ||
            !MoveFileExW(temporary.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
            return failWith("cannot replace " + quotedName(target_));
    }
    temporary_.clear();
    return true;
}

void AtomicFile::discard() {
    if (fd_ >= 0) {
        _close(fd_);
        fd_ = -1;
    }
    if (!temporary_.empty()) {
        DeleteFileW(windows::longPath(temporary_).c_str());
        temporary_.clear();
    }
}

}  // namespace pathshift
