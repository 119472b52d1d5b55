#pragma once
// `pathshift-cli watch`: a hot folder, converting what arrives in a source folder until stopped.

#include <string>

#include "command.h"
#include "conversion_setup.h"

namespace pathshift::cli {

struct WatchArguments : ConversionArguments {
    std::string source;
    std::string outputFolder;
    std::string doneFolder;
    double settleSeconds = 2;
    double pollSeconds = 0;  // 0: the system's change notifications
    bool newOnly = false;
    bool strict = false;
};

CLI::App* addWatchCommand(CLI::App& app, WatchArguments& arguments);
// Runs until SIGINT or SIGTERM: 0 then, 1 when the source folder can no longer be watched, 2 for a
// usage error.
int runWatch(const WatchArguments& arguments, const Streams& streams);

}  // namespace pathshift::cli
