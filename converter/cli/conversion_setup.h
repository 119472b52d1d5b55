#pragma once
// The conversion options every command that converts takes (thickness, head, DFS, feeds, tool
// rows and tables, the desktop program's settings), and the ConversionOptions they make.

#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "engine/toolpath/machining_time.h"
#include "engine/translation/conversion.h"

namespace CLI {
class App;
}

namespace pathshift::cli {

struct ConversionArguments {
    std::string thickness;
    int head = 1;
    bool dfs = false;
    bool ipsFeed = false;
    std::vector<std::string> tools;  // SRC=DST, in command-line order
    std::string toolTable;
    // --settings[=DIR]: thickness, head, DFS and tool table from the desktop program's settings
    // folder (DIR, or the folder the program itself would use); options given here override them.
    bool useSettings = false;
    std::string settingsFolder;
    bool thicknessGiven = false;
    bool headGiven = false;
    // The machining-time estimate's rates; the settings' (or the defaults) when not given.
    std::optional<double> rapidRate;
    std::optional<double> toolChangeTime;
};

void addConversionOptions(CLI::App* command, ConversionArguments& arguments);

// 0 with `options` (and `rates`, when given) made, or the usage exit status after one line on `err`
// saying why.
int conversionOptionsOf(const ConversionArguments& arguments, ConversionOptions& options, const char* command,
                        std::FILE* err, MachiningRates* rates = nullptr);

// FILE:LINE: reason (FILE: reason when the line is 0).
void printError(std::FILE* err, const std::string& file, std::size_t line, const std::string& reason);
// FILE:LINE: warning: text for each listed warning, and how many more were only counted.
void printWarnings(std::FILE* err, const std::string& file, const ConversionReport& report);

}  // namespace pathshift::cli
