// Windows: no notifications here; hot folders are polled.

#include "engine/runs/folder_changes.h"

namespace pathshift {

const bool kFolderNotificationsAvailable = false;

std::unique_ptr<FolderChanges> notifiedChanges(const std::filesystem::path&, std::string& error) {
    error = "this build watches folders by polling only";
    return nullptr;
}

}  // namespace pathshift
