#include "settings/app_folder.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

#include "settings/app_folder_platform.h"
#include "settings/settings_file.h"

namespace pathshift {
namespace {

namespace fs = std::filesystem;

#ifdef _WIN32
constexpr const char* kFixedFolder = "C:\\vbprojects\\Tarvo to Selvix\\";
#else
constexpr const char* kFixedFolder = "/vbprojects/Tarvo to Selvix/";
#endif

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

AppFolderPlaces systemAppFolderPlaces() {
    AppFolderPlaces places;
    if (const char* home = std::getenv("PATHSHIFT_HOME"); home && *home) places.home = home;
    places.programFile = runningProgramFile();
    places.fixedFolder = kFixedFolder;
    places.userConfigFolder = platform::userConfigFolder();
    return places;
}

std::string AppFolder(const AppFolderPlaces& places) {
    if (places.home && !places.home->empty()) return ensured(*places.home);
    const std::string programFolder = FolderOf(places.programFile);
    if (holdsVb(programFolder) && isFolder(places.fixedFolder)) return withSeparator(places.fixedFolder);
    if (places.userConfigFolder.empty()) return programFolder;
    // An installed program keeps settings per user, also when its folder could be written (root).
    if (!isInstalledProgramFolder(programFolder) && platform::canCreateFileIn(programFolder)) return programFolder;
    return ensured(places.userConfigFolder);
}

std::string SettingsPath(const std::string& appFolder) { return appFolder + kSettingsFileName; }

}  // namespace pathshift
