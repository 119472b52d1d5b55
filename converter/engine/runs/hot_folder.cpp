#include "engine/runs/hot_folder.h"

#include <algorithm>
#include <cctype>
#include <fstream>
#include <map>
#include <memory>
#include <set>

#include "engine/io/file_move.h"
#include "engine/io/quoted_name.h"
#include "engine/io/text_source.h"
#include "engine/runs/folder_changes.h"

namespace pathshift {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

// The longest wait between two looks at the stop request.
constexpr std::chrono::milliseconds kLongestWait{1000};
// How often a file that is settling is looked at.
constexpr std::chrono::milliseconds kSettleLook{100};

struct Look {
    std::uintmax_t size = 0;
    fs::file_time_type modified{};
    bool operator==(const Look&) const = default;
};

// The size and time of a regular file, or nothing for anything else or a file gone.
std::optional<Look> lookAt(const fs::path& file) {
    std::error_code ec;
    if (!fs::is_regular_file(file, ec)) return std::nullopt;
    Look look;
    look.size = fs::file_size(file, ec);
    if (ec) return std::nullopt;
    look.modified = fs::last_write_time(file, ec);
    if (ec) return std::nullopt;
    return look;
}

// On Windows a writer usually holds the file shared for nobody; elsewhere this fails only for a
// file the watcher may not read.
bool readable(const fs::path& file) { return std::ifstream(file, std::ios::binary).is_open(); }

bool sameFolder(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    const bool same = fs::equivalent(a, b, ec);
    return !ec && same;
}

bool endsWith(std::string name, std::string_view suffix) {
    std::transform(name.begin(), name.end(), name.begin(), [](unsigned char c) { return std::tolower(c); });
    return name.size() >= suffix.size() && name.compare(name.size() - suffix.size(), suffix.size(), suffix) == 0;
}

class HotFolder {
public:
    HotFolder(const HotFolderSettings& settings, const HotFolderFileFn& fileDone, const HotFolderNoticeFn& notice)
        : settings_(settings), fileDone_(fileDone), notice_(notice) {}

    std::optional<std::string> run(const StopFn& stop, const std::function<void()>& watching) {
        std::string error;
        // Watched before the first listing, so that nothing arriving in between is missed.
        std::unique_ptr<FolderChanges> changes = settings_.poll.count() > 0 || !kFolderNotificationsAvailable
                                                     ? polledChanges(pollInterval())
                                                     : notifiedChanges(settings_.source, error);
        if (!changes) return error;
        if (!lookAtEverything(settings_.newOnly, error)) return error;
        if (watching) watching();
        while (!stop()) {
            FolderChangeBatch batch;
            if (!changes->wait(nextWait(), batch, error)) return error;
            // A network folder that cannot be listed for a while is looked at again at the next
            // interval; the trouble is told once, not at every interval.
            if (batch.everything) {
                error.clear();
                if (!lookAtEverything(false, error) && error != listingTrouble_) notice_(error);
                listingTrouble_ = error;
            }
            for (const fs::path& name : batch.names) notice(name, false);
            convertSettled(stop);
        }
        return std::nullopt;
    }

private:
    struct Entry {
        Look look;
        Clock::time_point since;  // when the look last changed
        bool pending = false;     // to convert once settled
        bool toldUnreadable = false;
    };

    std::chrono::milliseconds pollInterval() const {
        return settings_.poll.count() > 0 ? settings_.poll : kDefaultPollInterval;
    }

    std::chrono::milliseconds nextWait() const {
        for (const auto& [name, entry] : files_)
            if (entry.pending) return kSettleLook;
        return kLongestWait;
    }

    // A file that is new, changed or gone. `leave` records a file as it is without converting it.
    void notice(const fs::path& name, bool leave) {
        if (!hotFolderCandidate(name)) return;
        const std::optional<Look> look = lookAt(settings_.source / name);
        if (!look) {
            files_.erase(name);
            return;
        }
        auto found = files_.find(name);
        if (found != files_.end() && found->second.look == *look) return;
        files_[name] = Entry{*look, Clock::now(), !leave, false};
    }

    bool lookAtEverything(bool leave, std::string& error) {
        std::set<fs::path> present;
        std::error_code ec;
        for (fs::directory_iterator it(settings_.source, ec), end; !ec && it != end; it.increment(ec))
            present.insert(it->path().filename());
        if (ec) {
            error = "cannot list " + quotedName(settings_.source) + ": " + ec.message();
            return false;
        }
        std::erase_if(files_, [&](const auto& file) { return present.count(file.first) == 0; });
        for (const fs::path& name : present) notice(name, leave);
        return true;
    }

    void convertSettled(const StopFn& stop) {
        std::vector<fs::path> settled;
        const Clock::time_point now = Clock::now();
        for (auto& [name, entry] : files_) {
            if (!entry.pending) continue;
            const std::optional<Look> look = lookAt(settings_.source / name);
            if (!look) continue;  // gone: the next listing or notification drops it
            if (*look != entry.look) {
                entry.look = *look;
                entry.since = now;
            } else if (now - entry.since >= settings_.settle) {
                settled.push_back(name);
            }
        }
        for (const fs::path& name : settled) {
            if (stop()) return;
            auto found = files_.find(name);
            if (found != files_.end()) convert(found);
        }
    }

    void convert(std::map<fs::path, Entry>::iterator found) {
        const fs::path source = settings_.source / found->first;
        Entry& entry = found->second;
        if (!readable(source)) {
            if (!entry.toldUnreadable) notice_(quotedName(source) + ": cannot be read yet; waiting");
            entry.toldUnreadable = true;
            entry.since = Clock::now();
            return;
        }
        HotFolderFile file;
        file.result = convertFile(source, settings_.destination, settings_.conversion, {}, settings_.rates);
        const std::optional<Look> after = lookAt(source);
        file.again = after && (*after != entry.look || (!file.result.converted &&
                                                        file.result.error.reason == kSourceChanged));
        if (!after) {
            files_.erase(found);
        } else if (file.again) {
            entry = Entry{*after, Clock::now(), true, false};
        } else {
            entry.pending = false;
            if (file.result.converted && !settings_.done.empty()) {
                file.movedTo = moveIntoFolder(source, settings_.done, file.moveError);
                if (!file.movedTo.empty()) files_.erase(found);
            }
        }
        fileDone_(file);
    }

    const HotFolderSettings& settings_;
    const HotFolderFileFn& fileDone_;
    const HotFolderNoticeFn& notice_;
    std::map<fs::path, Entry> files_;  // by name in the source folder
    std::string listingTrouble_;
};

}  // namespace

bool hotFolderCandidate(const fs::path& name) {
    const std::string text = name.filename().string();
    if (text.empty() || text.front() == '.' || text.back() == '~') return false;
    return !endsWith(text, ".tmp") && !endsWith(text, ".part");
}

std::optional<std::string> hotFolderRefusal(const HotFolderSettings& settings) {
    std::error_code ec;
    const std::pair<const fs::path*, const char*> folders[] = {
        {&settings.source, "source"}, {&settings.destination, "destination"}, {&settings.done, "done"}};
    for (const auto& [folder, what] : folders) {
        if (folder->empty() && folder == &settings.done) continue;
        if (!fs::is_directory(*folder, ec))
            return std::string("the ") + what + " folder " + quotedName(*folder) + " does not exist";
    }
    if (sameFolder(settings.source, settings.destination))
        return "the destination folder is the source folder; converted programs go into another folder";
    if (!settings.done.empty() && sameFolder(settings.done, settings.source))
        return "the done folder is the source folder; converted sources go into another folder";
    if (!settings.done.empty() && sameFolder(settings.done, settings.destination))
        return "the done folder is the destination folder; sources and converted programs go into different folders";
    return std::nullopt;
}

std::optional<std::string> watchHotFolder(const HotFolderSettings& settings, const HotFolderFileFn& fileDone,
                                          const HotFolderNoticeFn& notice, const StopFn& stop,
                                          const std::function<void()>& watching) {
    if (std::optional<std::string> refusal = hotFolderRefusal(settings)) return refusal;
    return HotFolder(settings, fileDone, notice).run(stop, watching);
}

}  // namespace pathshift
