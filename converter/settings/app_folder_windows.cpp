#include <windows.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "settings/app_folder.h"
#include "settings/app_folder_platform.h"

namespace pathshift {

namespace fs = std::filesystem;

std::string runningProgramFile() {
    std::wstring name(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
        if (length == 0) return {};
        if (length < name.size()) {
            name.resize(length);
            return fs::path(name).string();
        }
        name.resize(name.size() * 2);  // cut short: a long path
    }
}

namespace platform {

// A file that the system deletes as soon as it is closed.
bool canCreateFileIn(const std::string& folder) {
    std::error_code ec;
    if (folder.empty() || !fs::is_directory(folder, ec)) return false;
    const fs::path probe = fs::path(folder) / (".pathshift-probe-" + std::to_string(GetCurrentProcessId()));
    const HANDLE handle = CreateFileW(probe.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return GetLastError() == ERROR_FILE_EXISTS;
    CloseHandle(handle);
    return true;
}

std::string userConfigFolder() {
    if (const char* appData = std::getenv("APPDATA"); appData && *appData)
        return (fs::path(appData) / "pathshift").string();
    return {};
}

}  // namespace platform
}  // namespace pathshift
