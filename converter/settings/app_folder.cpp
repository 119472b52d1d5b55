#include "settings/app_folder.h"

#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <system_error>
#include <unistd.h>

#include "settings/settings_file.h"

namespace pathshift {
namespace {

namespace fs = std::filesystem;

#ifdef _WIN32
constexpr const char* kFixedFolder = "C:\\vbprojects\\Tarvo to Selvix\\";
#else
constexpr const char* kFixedFolder = "/vbprojects/Tarvo to Selvix/";
#endif
constexpr const char* kConfigSubfolder = "pathshift";

std::string withSeparator(std::string folder) {
    if (folder.empty() || folder.back() != kFolderSeparator) folder += kFolderSeparator;
    return folder;
}

bool holdsVb(const std::string& folder) {
    for (std::size_t i = 0; i + 1 < folder.size(); ++i)
        if ((folder[i] == 'v' || folder[i] == 'V') && (folder[i + 1] == 'b' || folder[i + 1] == 'B')) return true;
    return false;
}

bool isFolder(const std::string& path) {
    std::error_code ec;
    return !path.empty() && fs::is_directory(path, ec);
}

// Whether a file can be created there: permissions alone do not say (a read-only mount, a
// process that may write anywhere).
bool canCreateFileIn(const std::string& folder) {
    if (!isFolder(folder)) return false;
    std::string probe = withSeparator(folder) + ".pathshift-probe-XXXXXX";
    const int fd = ::mkstemp(probe.data());
    if (fd < 0) return false;
    ::close(fd);
    ::unlink(probe.c_str());
    return true;
}

// An installed program finds its data in share/pathshift beside its bin folder.
bool isInstalledProgramFolder(const std::string& folder) {
    return !folder.empty() && isFolder(folder + "../share/pathshift");
}

std::string ensured(const std::string& folder) {
    std::error_code ec;
    fs::create_directories(folder, ec);  // a failure shows at the first write, with its reason
    return withSeparator(folder);
}

}  // namespace

std::string runningProgramFile() {
    std::error_code ec;
    const fs::path self = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : self.string();
}

AppFolderPlaces systemAppFolderPlaces() {
    AppFolderPlaces places;
    if (const char* home = std::getenv("PATHSHIFT_HOME"); home && *home) places.home = home;
    places.programFile = runningProgramFile();
    places.fixedFolder = kFixedFolder;
    if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config)
        places.userConfigFolder = (fs::path(config) / kConfigSubfolder).string();
    else if (const char* userHome = std::getenv("HOME"); userHome && *userHome)
        places.userConfigFolder = (fs::path(userHome) / ".config" / kConfigSubfolder).string();
    return places;
}

std::string AppFolder(const AppFolderPlaces& places) {
    if (places.home && !places.home->empty()) return ensured(*places.home);
    const std::string programFolder = FolderOf(places.programFile);
    if (holdsVb(programFolder) && isFolder(places.fixedFolder)) return withSeparator(places.fixedFolder);
    if (places.userConfigFolder.empty()) return programFolder;
    // An installed program keeps settings per user, also when its folder could be written (root).
    if (!isInstalledProgramFolder(programFolder) && canCreateFileIn(programFolder)) return programFolder;
    return ensured(places.userConfigFolder);
}

std::string SettingsPath(const std::string& appFolder) { return appFolder + kSettingsFileName; }

}  // namespace pathshift
