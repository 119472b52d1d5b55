#pragma once
// `pathshift-cli convert`: options, and the run they describe.

#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace pathshift::cli {

struct ConvertArguments {
    std::string thickness;
    int head = 1;
    bool dfs = false;
    bool ipsFeed = false;
    std::vector<std::string> tools;  // SRC=DST, in command-line order
    std::string toolTable;
    std::string outputFolder;
    bool toStdout = false;
    bool check = false;
    bool quiet = false;
    bool strict = false;
    std::vector<std::string> sources;
    // --settings[=DIR]: thickness, head, DFS and tool table from the desktop program's settings
    // folder (DIR, or the folder the program itself would use); options given here override them.
    bool useSettings = false;
    std::string settingsFolder;
    bool thicknessGiven = false;
    bool headGiven = false;
};

// Adds the subcommand and its options to the application.
CLI::App* addConvertCommand(CLI::App& app, ConvertArguments& arguments);
// Runs it: 0 when every file converted, 1 when any failed, 2 for a usage error.
int runConvert(const ConvertArguments& arguments);

}  // namespace pathshift::cli
