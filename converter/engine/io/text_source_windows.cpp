// Reading source programs on Windows: shared reads (an editor may hold the file open), names past
// MAX_PATH, and the last-write time to the 100 ns the system keeps.
#include "engine/io/text_source.h"

#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include "engine/io/windows_file.h"

namespace pathshift {
namespace {

// Size and last-write time (nanoseconds), false with error set.
bool fileStamp(int fd, std::size_t& size, long long& modified, std::string& error) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(windows::handleOf(fd), &info)) {
        error = windows::lastError("cannot read");
        return false;
    }
    size = (static_cast<std::size_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    const auto ticks = (static_cast<long long>(info.ftLastWriteTime.dwHighDateTime) << 32) |
                       info.ftLastWriteTime.dwLowDateTime;
    modified = ticks * 100;
    return true;
}

long readSome(int fd, char* into, std::size_t size, std::string& error) {
    const long got = windows::readSome(fd, into, size);
    if (got < 0) error = windows::lastError("cannot read");
    return got;
}

std::string megabytes(std::size_t bytes) { return std::to_string(bytes >> 20) + " MB"; }

}  // namespace

// Folders are refused by name before opening: the system would only say "access denied". A pipe or
// device opens without waiting and is refused by its type.
int openRegularFile(const std::filesystem::path& path, std::string_view what, std::string& error) {
    const std::wstring name = windows::longPath(path);
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        error = "is a folder, not " + std::string(what);
        return -1;
    }
    const HANDLE handle = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        error = windows::lastError("cannot open");
        return -1;
    }
    if (GetFileType(handle) != FILE_TYPE_DISK) {
        CloseHandle(handle);
        error = "is not a regular file, so it cannot be " + std::string(what);
        return -1;
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDONLY | _O_BINARY);
    if (fd < 0) {
        CloseHandle(handle);
        error = "cannot open: too many open files";
    }
    return fd;
}

SourceFile::~SourceFile() {
    if (fd_ >= 0) _close(fd_);
}

bool SourceFile::open(const std::filesystem::path& path, std::string& error, std::string_view what) {
    fd_ = openRegularFile(path, what, error);
    if (fd_ < 0) return false;
    if (!digest_.ready()) {
        error = "not enough memory";
        return false;
    }
    return fileStamp(fd_, size_, modified_, error);
}

bool SourceFile::rewind(std::string& error) {
    std::size_t size = 0;
    long long modified = 0;
    if (!fileStamp(fd_, size, modified, error)) return false;
    if (size != size_ || modified != modified_) {
        error = kSourceChanged;
        return false;
    }
    if (!windows::seekToStart(fd_)) {
        error = windows::lastError("cannot read");
        return false;
    }
    digest_.startScan();
    return true;
}

long SourceFile::readAt(std::size_t offset, char* into, std::size_t size, std::string& error) {
    std::size_t now = 0;
    long long modified = 0;
    if (!fileStamp(fd_, now, modified, error)) return -1;
    if (now != size_ || modified != modified_) {
        error = kSourceChanged;
        return -1;
    }
    const long got = windows::readSomeAt(fd_, offset, into, size);
    if (got < 0) error = windows::lastError("cannot read");
    return got;
}

long SourceFile::read(char* into, std::size_t size, std::string& error) {
    const long got = readSome(fd_, into, size, error);
    if (got > 0) digest_.add(into, static_cast<std::size_t>(got));
    return got;
}

bool SourceFile::sameAsLastScan(std::string& error) { return digest_.sameAsLastScan(error); }

bool readWholeFile(const std::filesystem::path& path, std::string& text, std::string& error, std::string_view what,
                   std::size_t maxBytes) {
    const int fd = openRegularFile(path, what, error);
    if (fd < 0) return false;
    std::size_t size = 0;
    long long modified = 0;
    bool ok = fileStamp(fd, size, modified, error);
    text.clear();
    // The size is a first guess: the file may grow while it is read, so the limit is checked as it is.
    if (ok && size <= maxBytes) text.reserve(size);
    char chunk[1 << 16];
    long got = 0;
    while (ok && size <= maxBytes && text.size() <= maxBytes && (got = readSome(fd, chunk, sizeof chunk, error)) > 0)
        text.append(chunk, static_cast<std::size_t>(got));
    _close(fd);
    if (!ok || got < 0) return false;
    if (size > maxBytes || text.size() > maxBytes) {
        error = "is larger than " + megabytes(maxBytes) + ", more than " + std::string(what) + " ever holds";
        return false;
    }
    return true;
}

}  // namespace pathshift
