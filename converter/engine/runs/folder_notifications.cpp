// Linux: inotify on the folder itself (not its subfolders). A queue overflow asks for a look at the
// whole folder; the folder removed or moved away ends the watch.

#include <poll.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "engine/io/quoted_name.h"
#include "engine/runs/folder_changes.h"

namespace pathshift {
namespace {

constexpr std::uint32_t kEvents = IN_CREATE | IN_MODIFY | IN_CLOSE_WRITE | IN_ATTRIB | IN_MOVED_TO | IN_MOVED_FROM |
                                  IN_DELETE | IN_DELETE_SELF | IN_MOVE_SELF | IN_ONLYDIR;

class NotifiedChanges final : public FolderChanges {
public:
    NotifiedChanges(int fd, std::filesystem::path folder) : fd_(fd), folder_(std::move(folder)) {}
    ~NotifiedChanges() override { ::close(fd_); }

    bool wait(std::chrono::milliseconds timeout, FolderChangeBatch& batch, std::string& error) override {
        pollfd ready{fd_, POLLIN, 0};
        // A signal ends the wait early (EINTR): the caller then looks whether it was asked to stop.
        if (::poll(&ready, 1, static_cast<int>(timeout.count())) <= 0) return true;
        alignas(inotify_event) char buffer[64 * 1024];
        const ssize_t got = ::read(fd_, buffer, sizeof buffer);
        if (got <= 0) return true;
        for (ssize_t at = 0; at < got;) {
            const auto* event = reinterpret_cast<const inotify_event*>(buffer + at);
            at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
            if (event->mask & IN_Q_OVERFLOW) batch.everything = true;
            if (event->mask & (IN_DELETE_SELF | IN_MOVE_SELF | IN_IGNORED)) {
                error = "the folder " + quotedName(folder_) + " was removed or moved away";
                return false;
            }
            if (event->len > 0 && !(event->mask & IN_ISDIR)) batch.names.emplace_back(event->name);
        }
        return true;
    }

private:
    int fd_;
    std::filesystem::path folder_;
};

}  // namespace

const bool kFolderNotificationsAvailable = true;

std::unique_ptr<FolderChanges> notifiedChanges(const std::filesystem::path& folder, std::string& error) {
    const int fd = ::inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
    if (fd < 0 || ::inotify_add_watch(fd, folder.c_str(), kEvents) < 0) {
        error = "cannot watch " + quotedName(folder) + " for changes: " + std::strerror(errno);
        if (fd >= 0) ::close(fd);
        return nullptr;
    }
    return std::make_unique<NotifiedChanges>(fd, folder);
}

}  // namespace pathshift
