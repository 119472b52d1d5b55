#include "watch_command.h"

#include <CLI/CLI.hpp>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <ctime>

#include "convert_command.h"
#include "engine/io/quoted_name.h"
#include "engine/runs/folder_changes.h"
#include "engine/runs/hot_folder.h"

namespace pathshift::cli {
namespace {

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

volatile std::sig_atomic_t stopRequested = 0;

extern "C" void requestStop(int) { stopRequested = 1; }

// SIGINT and SIGTERM ask the watch to stop for as long as it runs; the handlers before it come back after.
class StopSignals {
public:
    StopSignals() : interrupt_(std::signal(SIGINT, requestStop)), terminate_(std::signal(SIGTERM, requestStop)) {}
    ~StopSignals() {
        std::signal(SIGINT, interrupt_);
        std::signal(SIGTERM, terminate_);
    }
    StopSignals(const StopSignals&) = delete;
    StopSignals& operator=(const StopSignals&) = delete;

private:
    void (*interrupt_)(int);
    void (*terminate_)(int);
};

std::chrono::milliseconds milliseconds(double seconds) {
    return std::chrono::milliseconds(static_cast<long long>(seconds * 1000.0 + 0.5));
}

// Local time, as an operator reading the log next to the machine's clock expects it.
std::string now() {
    const std::time_t t = std::time(nullptr);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S ", std::localtime(&t));
    return text;
}

void printFile(const Streams& streams, const HotFolderFile& file) {
    const FileResult& result = file.result;
    // A scan cut short by a change has nothing to say about the file that will be converted.
    if (!file.again || result.converted) printWarnings(streams.err, result.source.string(), result.report);
    if (result.converted) {
        std::string suffix;
        if (!file.movedTo.empty()) suffix = "; source moved to " + quotedName(file.movedTo);
        if (!file.moveError.empty()) suffix = "; source left in place: " + file.moveError;
        if (file.again) suffix = "; it changed meanwhile and is converted again once complete";
        printSummary(streams.out, result, false, now(), suffix);
    } else if (file.again) {
        std::fprintf(streams.out, "%schanged %s: %s; converting it again once complete\n", now().c_str(),
                    quotedName(result.source).c_str(), result.error.reason.c_str());
    } else {
        const std::string line = result.error.line > 0 ? ":" + std::to_string(result.error.line) : std::string();
        std::fprintf(streams.out, "%sfailed %s%s: %s; left in the source folder until it changes\n", now().c_str(),
                    quotedName(result.source).c_str(), line.c_str(), result.error.reason.c_str());
    }
    std::fflush(streams.out);
}

}  // namespace

CLI::App* addWatchCommand(CLI::App& app, WatchArguments& args) {
    CLI::App* watch = app.add_subcommand("watch", "Convert every program that arrives in a folder, until stopped");
    addConversionOptions(watch, args);
    watch->add_option("-o,--output", args.outputFolder, "Destination folder (not the source folder)")->required();
    watch->add_option("--done", args.doneFolder,
                      "Move each converted source into this folder (a name taken there gets -2, -3, ...)");
    watch->add_option("--settle", args.settleSeconds,
                      "Seconds a file's size and time must stay unchanged before it is converted")
        ->check(CLI::Range(0.0, 3600.0))
        ->default_val(2);
    watch->add_option("--poll", args.pollSeconds,
                      "Look at the folder every SECONDS instead of waiting for the system's change "
                      "notifications (for network folders, where those do not arrive)")
        ->check(CLI::Range(0.1, 3600.0));
    watch->add_flag("--new-only", args.newOnly, "Leave the files already in the folder until they change");
    watch->add_flag("--strict", args.strict, "Treat every warning as a failure of its file");
    watch->add_option("SOURCE_DIR", args.source, "Folder the programs arrive in")->required();
    watch->footer(
        "\nA file is converted once its size and time have not changed for the settle period and it\n"
        "can be read; one that changes while it is converted is converted again. A failed file stays\n"
        "in the source folder and is tried again when it changes. Hidden files and the temporary\n"
        "names NAME~, NAME.tmp and NAME.part are left alone. One line per file on standard output;\n"
        "SIGINT or SIGTERM stops the watch after the file in hand, leaving nothing partial.\n"
        "The Windows build always polls (every 2 seconds unless --poll says otherwise).\n"
        "\nExamples:\n"
        "  pathshift-cli watch --thickness 0.75 -o /srv/cnc/selvix /srv/cnc/incoming\n"
        "  pathshift-cli watch --settings --done /srv/cnc/archive -o /srv/cnc/selvix /srv/cnc/incoming\n"
        "  pathshift-cli watch --settings --poll 10 --settle 5 -o /mnt/share/out /mnt/share/in\n"
        "\nExit status: 0 when stopped by SIGINT or SIGTERM, 1 when the source folder can no longer be\n"
        "watched, 2 usage error.");
    return watch;
}

int runWatch(const WatchArguments& args, const Streams& streams) {
    HotFolderSettings settings;
    if (const int refused = conversionOptionsOf(args, settings.conversion, "watch", streams.err, &settings.rates)) return refused;
    settings.conversion.strict = args.strict;
    settings.source = args.source;
    settings.destination = args.outputFolder;
    settings.done = args.doneFolder;
    settings.settle = milliseconds(args.settleSeconds);
    settings.poll = milliseconds(args.pollSeconds);
    settings.newOnly = args.newOnly;
    if (const std::optional<std::string> refusal = hotFolderRefusal(settings)) {
        std::fprintf(streams.err, "pathshift-cli watch: %s\n", refusal->c_str());
        return kExitUsage;
    }

    // Handled here, so the output writer's own handlers (remove a temporary and die) stay out.
    stopRequested = 0;
    const StopSignals signals;
    const bool polled = settings.poll.count() > 0 || !kFolderNotificationsAvailable;
    const auto interval = polled && settings.poll.count() == 0 ? kDefaultPollInterval : settings.poll;
    const std::string how = polled ? "polling every " + std::to_string(interval.count()) + " ms" : "change notifications";
    // Said once the folder is watched, so that a file dropped after the line is seen as new.
    const auto watching = [&] {
        std::fprintf(streams.out, "%swatching %s -> %s (%s)\n", now().c_str(), quotedName(settings.source).c_str(),
                     quotedName(settings.destination).c_str(), how.c_str());
        std::fflush(streams.out);
    };
    const auto notice = [&streams](const std::string& text) {
        std::fprintf(streams.err, "%s%s\n", now().c_str(), text.c_str());
    };
    const std::optional<std::string> ended =
        watchHotFolder(settings, [&streams](const HotFolderFile& file) { printFile(streams, file); }, notice,
                       [] { return stopRequested != 0; }, watching);
    if (ended) {
        std::fprintf(streams.err, "pathshift-cli watch: %s\n", ended->c_str());
        return kExitFailed;
    }
    std::fprintf(streams.out, "%sstopped watching %s\n", now().c_str(), quotedName(settings.source).c_str());
    return 0;
}

}  // namespace pathshift::cli
