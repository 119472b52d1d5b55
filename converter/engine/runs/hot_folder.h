#pragma once
// A hot folder: every program that appears in a source folder, or changes there, is converted into
// a destination folder once it is complete, that is once its size and modification time have not
// changed for a settle period and it can be opened for reading. A file that changes while it is
// converted is converted again once it settles; a failed file stays and is tried again only when
// it changes. Converted sources may be moved into a done folder, so the source folder holds what
// is pending.

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "engine/runs/file_run.h"

namespace pathshift {

// How often a folder is looked at where the system gives no change notifications.
inline constexpr std::chrono::milliseconds kDefaultPollInterval{2000};

struct HotFolderSettings {
    std::filesystem::path source;
    std::filesystem::path destination;
    std::filesystem::path done;  // empty: converted sources stay
    ConversionOptions conversion;
    MachiningRates rates;  // for each file's estimated machining time
    std::chrono::milliseconds settle{2000};
    std::chrono::milliseconds poll{0};  // 0: the system's change notifications, where there are any
    bool newOnly = false;               // files present at the start are left alone until they change
};

struct HotFolderFile {
    FileResult result;
    std::filesystem::path movedTo;  // where the source went in the done folder
    std::string moveError;          // why it could not go there
    bool again = false;             // it changed during the conversion and will be converted again
};

using HotFolderFileFn = std::function<void(const HotFolderFile&)>;
// Trouble that does not end the watch, said once: a file that cannot be read yet, a polled folder
// that cannot be listed for a while.
using HotFolderNoticeFn = std::function<void(const std::string&)>;

// Why these settings cannot be watched (a folder missing, the destination being the source), or
// nothing when they can.
std::optional<std::string> hotFolderRefusal(const HotFolderSettings& settings);

// Whether a name in the folder is a program to convert: hidden names and the usual temporary names
// of programs still writing (NAME~, NAME.tmp, NAME.part) are not.
bool hotFolderCandidate(const std::filesystem::path& name);

// Watches until `stop` returns true, finishing the file in hand; returns nothing then, or why the
// folder could no longer be watched. `stop` is asked at least once a second and after each file.
// `watching` is called once the folder is watched and its first listing taken: every file that
// arrives after it is a new one.
std::optional<std::string> watchHotFolder(const HotFolderSettings& settings, const HotFolderFileFn& fileDone,
                                          const HotFolderNoticeFn& notice, const StopFn& stop,
                                          const std::function<void()>& watching = {});

}  // namespace pathshift
