// Reading source programs on Windows: shared reads (an editor may hold the file open), names past
// MAX_PATH, and the last-write time to the 100 ns the system keeps.
#include "engine/text_source.h"

#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include "engine/windows_file.h"

namespace pathshift {
namespace {

using windows::handleOf;

// A descriptor for reading, or -1 with error set. Folders are refused by name: the system would
// only say "access denied".
int openForReading(const std::filesystem::path& path, std::string& error) {
    const std::wstring name = windows::longPath(path);
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        error = "is a folder, not a program";
        return -1;
    }
    const HANDLE handle = CreateFileW(name.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                      nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        error = windows::lastError("cannot open");
        return -1;
    }
    const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_RDONLY | _O_BINARY);
    if (fd < 0) {
        CloseHandle(handle);
        error = "cannot open: too many open files";
    }
    return fd;
}

long readSome(int fd, char* into, std::size_t size, std::string& error) {
    const long got = windows::readSome(fd, into, size);
    if (got < 0) error = windows::lastError("cannot read");
    return got;
}

// Size and last-write time (nanoseconds), false with error set.
bool fileStamp(int fd, std::size_t& size, long long& modified, std::string& error) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handleOf(fd), &info)) {
        error = windows::lastError("cannot read");
        return false;
    }
    size = (static_cast<std::size_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    const auto ticks = (static_cast<long long>(info.ftLastWriteTime.dwHighDateTime) << 32) |
                       info.ftLastWriteTime.dwLowDateTime;
    modified = ticks * 100;
    return true;
}

}  // namespace

SourceFile::~SourceFile() {
    if (fd_ >= 0) _close(fd_);
}

bool SourceFile::open(const std::filesystem::path& path, std::string& error) {
    fd_ = openForReading(path, error);
    if (fd_ < 0) return false;
    if (GetFileType(handleOf(fd_)) != FILE_TYPE_DISK) {
        error = "is not a regular file (the program is read twice)";
        return false;
    }
    return fileStamp(fd_, size_, modified_, error);
}

bool SourceFile::rewind(std::string& error) {
    std::size_t size = 0;
    long long modified = 0;
    if (!fileStamp(fd_, size, modified, error)) return false;
    if (size != size_ || modified != modified_) {
        error = "the file changed while it was being converted; convert it again once it is complete";
        return false;
    }
    if (!windows::seekToStart(fd_)) {
        error = windows::lastError("cannot read");
        return false;
    }
    return true;
}

long SourceFile::read(char* into, std::size_t size, std::string& error) { return readSome(fd_, into, size, error); }

bool readWholeFile(const std::filesystem::path& path, std::string& text, std::string& error) {
    const int fd = openForReading(path, error);
    if (fd < 0) return false;
    text.clear();
    char chunk[1 << 16];
    long got = 0;
    while ((got = readSome(fd, chunk, sizeof chunk, error)) > 0) text.append(chunk, static_cast<std::size_t>(got));
    _close(fd);
    return got == 0;
}

}  // namespace pathshift
