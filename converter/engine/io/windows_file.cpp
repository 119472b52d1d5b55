#include "engine/io/windows_file.h"

#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <system_error>

namespace pathshift::windows {

std::wstring longPath(const std::filesystem::path& path) {
    std::wstring name = path.wstring();
    if (name.rfind(LR"(\\?\)", 0) == 0) return name;
    std::error_code ec;
    std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    if (ec) absolute = path;
    // The prefix turns off the system's own clean-up of "." and "..", slashes included.
    name = absolute.lexically_normal().make_preferred().wstring();
    if (name.rfind(LR"(\\)", 0) == 0) return LR"(\\?\UNC\)" + name.substr(2);
    return LR"(\\?\)" + name;
}

namespace {

std::string narrowed(const std::wstring& wide) {
    if (wide.empty()) return {};
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), utf8.data(), size, nullptr, nullptr);
    return utf8;
}

}  // namespace

std::string errorText(unsigned long code) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
        0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = length > 0 ? std::wstring(text, length) : L"system error " + std::to_wstring(code);
    LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' || message.back() == L'.'))
        message.pop_back();
    return narrowed(message);
}

std::string lastError(const char* what) {
    const DWORD code = GetLastError();
    return std::string(what) + ": " + errorText(code);
}

int createUniqueFile(const std::filesystem::path& folder, const std::string& prefix, unsigned long flags,
                     std::filesystem::path& name) {
    // Unique within the process by the counter, across processes by the process id and the clock.
    static std::atomic<unsigned> counter{0};
    const auto clock = static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
    for (int attempt = 0; attempt < 100; ++attempt) {
        const unsigned long long tag = clock * 31 + GetCurrentProcessId() * 1000003ULL + counter++;
        const std::filesystem::path candidate = folder / (prefix + std::to_string(tag % 100000000));
        const HANDLE handle = CreateFileW(longPath(candidate).c_str(), GENERIC_READ | GENERIC_WRITE,
                                          FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr, CREATE_NEW, flags, nullptr);
        if (handle == INVALID_HANDLE_VALUE) {
            if (GetLastError() == ERROR_FILE_EXISTS) continue;
            return -1;
        }
        const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), _O_BINARY);
        if (fd < 0) {
            CloseHandle(handle);
            SetLastError(ERROR_TOO_MANY_OPEN_FILES);
            return -1;
        }
        name = candidate;
        return fd;
    }
    SetLastError(ERROR_FILE_EXISTS);
    return -1;
}

void* handleOf(int fd) { return reinterpret_cast<HANDLE>(_get_osfhandle(fd)); }

// One call moves at most this much, well inside a DWORD.
constexpr std::size_t kMostPerCall = std::size_t{1} << 30;

long readSome(int fd, char* into, std::size_t size) {
    DWORD got = 0;
    if (ReadFile(handleOf(fd), into, static_cast<DWORD>(std::min(size, kMostPerCall)), &got, nullptr))
        return static_cast<long>(got);
    return GetLastError() == ERROR_BROKEN_PIPE ? 0 : -1;
}

long readSomeAt(int fd, std::size_t offset, char* into, std::size_t size) {
    // A synchronous handle's ReadFile moves the file position even when given an offset.
    LARGE_INTEGER zero{}, was{}, at{};
    at.QuadPart = static_cast<LONGLONG>(offset);
    if (!SetFilePointerEx(handleOf(fd), zero, &was, FILE_CURRENT)) return -1;
    if (!SetFilePointerEx(handleOf(fd), at, nullptr, FILE_BEGIN)) return -1;
    const long got = readSome(fd, into, size);
    if (!SetFilePointerEx(handleOf(fd), was, nullptr, FILE_BEGIN)) return -1;
    return got;
}

bool seekToStart(int fd) {
    LARGE_INTEGER start{};
    return SetFilePointerEx(handleOf(fd), start, nullptr, FILE_BEGIN) != 0;
}

bool writeAll(int fd, std::string_view text) {
    while (!text.empty()) {
        DWORD put = 0;
        if (!WriteFile(handleOf(fd), text.data(), static_cast<DWORD>(std::min(text.size(), kMostPerCall)), &put,
                       nullptr))
            return false;
        text.remove_prefix(put);
    }
    return true;
}

}  // namespace pathshift::windows
