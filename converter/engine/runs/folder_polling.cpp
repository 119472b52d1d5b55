#include <thread>

#include "engine/runs/folder_changes.h"

namespace pathshift {
namespace {

using Clock = std::chrono::steady_clock;

class PolledChanges final : public FolderChanges {
public:
    explicit PolledChanges(std::chrono::milliseconds interval) : interval_(interval), next_(Clock::now() + interval) {}

    bool wait(std::chrono::milliseconds timeout, FolderChangeBatch& batch, std::string&) override {
        const Clock::time_point now = Clock::now();
        if (now < next_) std::this_thread::sleep_for(std::min<Clock::duration>(timeout, next_ - now));
        if (Clock::now() >= next_) {
            batch.everything = true;
            next_ = Clock::now() + interval_;
        }
        return true;
    }

private:
    std::chrono::milliseconds interval_;
    Clock::time_point next_;
};

}  // namespace

std::unique_ptr<FolderChanges> polledChanges(std::chrono::milliseconds interval) {
    return std::make_unique<PolledChanges>(interval);
}

}  // namespace pathshift
