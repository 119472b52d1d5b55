#pragma once
// Where the settings file and the tool table live (AppFolder): PATHSHIFT_HOME when set; else the
// program's own folder, or the fixed development folder when the program runs from a folder whose
// name holds "VB" and that folder exists; else, when the program's folder cannot be written or the
// program is installed (share/pathshift beside its bin folder), the per-user configuration folder.

#include <optional>
#include <string>

namespace pathshift {

struct AppFolderPlaces {
    std::optional<std::string> home;  // PATHSHIFT_HOME
    std::string programFile;          // full path of the running program
    std::string fixedFolder;          // taken by the "VB" rule, when it exists
    std::string userConfigFolder;     // taken when the program's folder is not writable
};

// The places of this process: its environment, its program file and the user's config folder.
AppFolderPlaces systemAppFolderPlaces();

// The full path of the running program; empty when the system does not say.
std::string runningProgramFile();

// Always ends in the folder separator. A home or config folder that does not exist yet is created.
std::string AppFolder(const AppFolderPlaces& places);

// AppFolder followed by the settings file's name.
std::string SettingsPath(const std::string& appFolder);

}  // namespace pathshift
