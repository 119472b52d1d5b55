#pragma once
// The platform's part of finding AppFolder (app_folder_posix.cpp, app_folder_windows.cpp).

#include <string>

namespace pathshift::platform {

// Whether a file can be created in the folder: permissions alone do not say (a read-only mount, a
// process that may write anywhere).
bool canCreateFileIn(const std::string& folder);

// The user's configuration folder for the program; empty when the environment does not name one.
std::string userConfigFolder();

}  // namespace pathshift::platform
