#include "engine/runs/parallel_run.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <system_error>
#include <thread>

namespace pathshift {
namespace {

namespace fs = std::filesystem;

// How often the caller's thread looks at the progress of the file it waits for; the progress
// line redraws no more often than this anyway.
constexpr auto kProgressPoll = std::chrono::milliseconds(50);

fs::path identityOf(const fs::path& path) {
    std::error_code ec;
    fs::path canonical = fs::weakly_canonical(path, ec);
    if (ec) return fs::absolute(path, ec).lexically_normal();
    return canonical;
}

// Files of one run meet only where one writes a file another reads or writes: a file that writes
// X waits for every earlier file that read or wrote X, and a file that reads X waits for the last
// earlier one that wrote it. That keeps every result what the serial run gives, including the
// refusal of a second source of one name.
std::vector<std::vector<std::size_t>> dependenciesOf(const std::vector<fs::path>& sources,
                                                     const fs::path& destinationFolder) {
    struct Touches {
        std::optional<std::size_t> lastWriter;
        std::vector<std::size_t> readersSinceWriter;
    };
    std::map<fs::path, Touches> touched;
    std::vector<std::vector<std::size_t>> dependencies(sources.size());
    for (std::size_t i = 0; i < sources.size(); ++i) {
        Touches& read = touched[identityOf(sources[i])];
        if (read.lastWriter) dependencies[i].push_back(*read.lastWriter);
        read.readersSinceWriter.push_back(i);
        if (destinationFolder.empty()) continue;
        Touches& written = touched[identityOf(destinationFolder / sources[i].filename())];
        if (written.lastWriter) dependencies[i].push_back(*written.lastWriter);
        for (std::size_t reader : written.readersSinceWriter)
            if (reader != i) dependencies[i].push_back(reader);
        written.readersSinceWriter.clear();
        written.lastWriter = i;
    }
    return dependencies;
}

struct Slot {
    std::atomic<std::size_t> done{0};
    std::atomic<std::size_t> total{1};
    bool finished = false;  // guarded by the run's mutex, as are the three below
    bool converted = false;  // kept apart from the result, which the caller's thread takes away
    FileResult result;
    std::exception_ptr failure;
};

class Scheduler {
public:
    Scheduler(const std::vector<fs::path>& sources, const fs::path& destinationFolder,
              const ConversionOptions& options, const MachiningRates& rates)
        : sources_(sources),
          destination_(destinationFolder),
          options_(options),
          rates_(rates),
          dependencies_(dependenciesOf(sources, destinationFolder)),
          slots_(sources.size()) {}

    void work() {
        for (;;) {
            const std::size_t i = next_.fetch_add(1);
            if (i >= sources_.size()) return;
            FileResult result;
            std::exception_ptr failure;
            try {
                awaitDependencies(i);
                result = convertOne(i);
            } catch (...) {
                failure = std::current_exception();
            }
            std::lock_guard lock(mutex_);
            slots_[i].converted = result.converted;
            slots_[i].result = std::move(result);
            slots_[i].failure = failure;
            slots_[i].finished = true;
            changed_.notify_all();
        }
    }

    // On the caller's thread: progress of file i until it is done, then its result.
    FileResult await(std::size_t i, const RunProgressFn& progress) {
        Slot& slot = slots_[i];
        if (progress) progress(RunProgress{i, sources_.size(), &sources_[i], 0, 1});
        std::size_t shownDone = 0;
        std::unique_lock lock(mutex_);
        while (!slot.finished) {
            changed_.wait_for(lock, kProgressPoll);
            if (!progress || slot.finished) continue;
            const std::size_t done = slot.done.load();
            if (done == shownDone) continue;
            shownDone = done;
            const std::size_t total = slot.total.load();
            lock.unlock();
            progress(RunProgress{i, sources_.size(), &sources_[i], done, total});
            lock.lock();
        }
        if (slot.failure) std::rethrow_exception(slot.failure);
        return std::move(slot.result);
    }

private:
    void awaitDependencies(std::size_t i) {
        std::unique_lock lock(mutex_);
        for (std::size_t j : dependencies_[i]) changed_.wait(lock, [&] { return slots_[j].finished; });
    }

    fs::path targetOf(std::size_t i) const {
        return destination_.empty() ? fs::path() : destination_ / sources_[i].filename();
    }

    FileResult convertOne(std::size_t i) {
        const fs::path target = targetOf(i);
        if (!target.empty() && writtenBefore(i, target)) return sameNameClash(sources_[i], target);
        Slot& slot = slots_[i];
        return convertFile(
            sources_[i], destination_, options_,
            [&slot](std::size_t done, std::size_t total) {
                slot.total.store(total);
                slot.done.store(done);
            },
            rates_);
    }

    // Every earlier file of this target is done by now (they are dependencies).
    bool writtenBefore(std::size_t i, const fs::path& target) {
        std::lock_guard lock(mutex_);
        for (std::size_t j : dependencies_[i])
            if (slots_[j].converted && targetOf(j) == target) return true;
        return false;
    }

    const std::vector<fs::path>& sources_;
    const fs::path& destination_;
    const ConversionOptions& options_;
    const MachiningRates& rates_;
    const std::vector<std::vector<std::size_t>> dependencies_;
    std::vector<Slot> slots_;
    std::atomic<std::size_t> next_{0};
    std::mutex mutex_;
    std::condition_variable changed_;
};

}  // namespace

unsigned defaultJobCount() { return std::max(1u, std::thread::hardware_concurrency()); }

RunResult convertFilesInParallel(const std::vector<fs::path>& sources, const fs::path& destinationFolder,
                                 const ConversionOptions& options, unsigned jobs, const RunProgressFn& progress,
                                 const FileDoneFn& fileDone, const MachiningRates& rates) {
    if (jobs <= 1 || sources.size() <= 1)
        return convertFiles(sources, destinationFolder, options, progress, fileDone, {}, rates);
    RunResult run;
    if (!thicknessValue(options.thickness)) {
        run.refusal = thicknessRefusal(options.thickness);
        return run;
    }
    Scheduler scheduler(sources, destinationFolder, options, rates);
    const std::size_t workers = std::min<std::size_t>(jobs, sources.size());
    std::vector<std::jthread> threads;
    threads.reserve(workers);
    for (std::size_t w = 0; w < workers; ++w) threads.emplace_back([&scheduler] { scheduler.work(); });

    run.files.reserve(sources.size());
    for (std::size_t i = 0; i < sources.size(); ++i) {
        run.files.push_back(scheduler.await(i, progress));
        if (fileDone) fileDone(run.files.back());
    }
    return run;
}

}  // namespace pathshift
