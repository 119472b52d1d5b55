#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "settings/app_folder.h"
#include "settings/app_folder_platform.h"

namespace pathshift {

namespace fs = std::filesystem;

std::string runningProgramFile() {
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : self.string();
}

namespace platform {

bool canCreateFileIn(const std::string& folder) {
    std::error_code ec;
    if (folder.empty() || !fs::is_directory(folder, ec)) return false;
    std::string probe = (fs::path(folder) / ".pathshift-probe-XXXXXX").string();
    const int fd = ::mkstemp(probe.data());
    if (fd < 0) return false;
    ::close(fd);
    ::unlink(probe.c_str());
    return true;
}

std::string userConfigFolder() {
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config)
        return (fs::path(config) / "pathshift").string();
    if (const char* home = std::getenv("HOME"); home && *home) return (fs::path(home) / ".config" / "pathshift").string();
    return {};
}

}  // namespace platform
}  // namespace pathshift
