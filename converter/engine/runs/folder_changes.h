#pragma once
// What tells a hot folder that files in it may have changed: the system's change notifications
// (folder_notifications.cpp; none on Windows, folder_notifications_windows.cpp) or a look at the
// whole folder at fixed intervals, for network folders where notifications do not arrive.

#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace pathshift {

struct FolderChangeBatch {
    std::vector<std::filesystem::path> names;  // file names in the folder that may have changed
    bool everything = false;                    // look at every file (an interval passed, events lost)
};

class FolderChanges {
public:
    virtual ~FolderChanges() = default;
    // Waits at most `timeout` (less when a signal arrives) and adds what changed to `batch`; false
    // with `error` set when the folder can no longer be watched (removed or moved away).
    virtual bool wait(std::chrono::milliseconds timeout, FolderChangeBatch& batch, std::string& error) = 0;
};

// Whether this system has change notifications for folders.
extern const bool kFolderNotificationsAvailable;

// The system's notifications for the folder, or null with `error` set.
std::unique_ptr<FolderChanges> notifiedChanges(const std::filesystem::path& folder, std::string& error);

// Every `interval`, the whole folder.
std::unique_ptr<FolderChanges> polledChanges(std::chrono::milliseconds interval);

}  // namespace pathshift
