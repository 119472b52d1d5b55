#include "conversion_setup.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

#include "engine/io/quoted_name.h"
#include "engine/translation/tool_table_file.h"
#include "settings/app_folder.h"
#include "settings/setting_values.h"
#include "settings/settings_file.h"

namespace pathshift::cli {
namespace {

namespace fs = std::filesystem;

constexpr int kExitUsage = 2;

// Rows from --tool first, in command-line order, then the rows of --tool-table: the first matching
// row wins, so a --tool row overrides the table.
bool appendTableFile(const std::string& path, ToolTable& table, std::FILE* err) {
    ToolTableFileError error;
    std::string repaired;
    std::optional<ToolTable> loaded = loadToolTable(path, error, &repaired);
    if (!loaded) {
        printError(err, path, static_cast<std::size_t>(error.line), error.reason);
        return false;
    }
    if (!repaired.empty()) std::fprintf(err, "%s: warning: %s\n", path.c_str(), repaired.c_str());
    for (const ToolRow& row : loaded->rows()) table.appendRow(row);
    return true;
}

std::string settingsFolderOf(const ConversionArguments& args) {
    if (!args.settingsFolder.empty()) {
        std::string folder = args.settingsFolder;
        if (folder.back() != kFolderSeparator) folder += kFolderSeparator;
        return folder;
    }
    return AppFolder(systemAppFolderPlaces());
}

// Thickness, head, DFS and rates stored by the desktop program, where the command line does not give them.
bool applySettings(const ConversionArguments& args, const std::string& folder, ConversionOptions& options,
                   MachiningRates& rates, std::FILE* err) {
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) {
        printError(err, folder, 0, "no such settings folder");
        return false;
    }
    const SettingsFile file(SettingsPath(folder));
    std::string error;
    if (!file.CanRead(error)) {
        printError(err, file.path().string(), 0, error);
        return false;
    }
    const StoredRunSettings stored = readRunSettings(file);
    if (!args.thicknessGiven) options.thickness = stored.thickness;
    if (!args.headGiven) options.head = stored.head;
    if (!args.dfs) options.dfs = stored.dfs;
    rates = stored.rates;
    return true;
}

// Rows from --tool first, in command-line order, then the settings folder's table, then the rows
// of --tool-table: the first matching row wins, so a --tool row overrides both tables.
bool buildToolTable(const ConversionArguments& args, const std::string& settingsFolder, ToolTable& table,
                    std::FILE* err) {
    for (const std::string& tool : args.tools) {
        const std::size_t equals = tool.find('=');
        if (equals == std::string::npos) {
            std::fprintf(err, "pathshift-cli: --tool %s: expected SRC=DST\n", tool.c_str());
            return false;
        }
        table.appendRow({tool.substr(0, equals), tool.substr(equals + 1)});
    }
    // A settings folder without a table is a program that never saved one: no rows.
    if (!settingsFolder.empty() && !appendTableFile(settingsFolder + kToolTableFileName, table, err)) return false;
    if (!args.toolTable.empty()) {
        std::error_code ec;
        if (!fs::exists(args.toolTable, ec)) {
            printError(err, args.toolTable, 0, "no such tool table");
            return false;
        }
        if (!appendTableFile(args.toolTable, table, err)) return false;
    }
    return true;
}

}  // namespace

void printError(std::FILE* err, const std::string& name, std::size_t line, const std::string& reason) {
    const std::string file = quotedName(name);
    if (line > 0)
        std::fprintf(err, "%s:%zu: %s\n", file.c_str(), line, reason.c_str());
    else
        std::fprintf(err, "%s: %s\n", file.c_str(), reason.c_str());
}

void printWarnings(std::FILE* err, const std::string& name, const ConversionReport& report) {
    const std::string file = quotedName(name);
    for (const ConversionWarning& warning : report.warnings) {
        if (warning.line > 0)
            std::fprintf(err, "%s:%zu: warning: %s\n", file.c_str(), warning.line, warning.text.c_str());
        else
            std::fprintf(err, "%s: warning: %s\n", file.c_str(), warning.text.c_str());
    }
    if (report.unlistedWarnings > 0)
        std::fprintf(err, "%s: warning: %zu more warnings of the kinds above are not listed\n", file.c_str(),
                     report.unlistedWarnings);
}

void addConversionOptions(CLI::App* command, ConversionArguments& args) {
    auto* thickness = command->add_option("--thickness", args.thickness, "Part thickness, copied into the header as typed")
        ->allow_extra_args(false);
    auto* head = command->add_option("--head", args.head, "Machining head: 1 (tools 1001-1009) or 2 (tools 2001-2019)")
        ->check(CLI::IsMember({1, 2}))
        ->default_val(1);
    command->add_flag("--dfs", args.dfs, "Write the DFS digit of the tool call as 1");
    command->add_flag("--ips-feed", args.ipsFeed, "Convert inch feed rates from per minute to per second");
    command->add_option("--tool", args.tools, "A tool table row SRC=DST (repeatable; before --tool-table rows)")
        ->allow_extra_args(false);
    command->add_option("--tool-table", args.toolTable, "Tool table file (ToolTbl.Dat format)");
    // A flag, so that "--settings part.nc" does not take the source for the folder.
    auto* settings = command->add_flag("--settings{}", args.settingsFolder,
                                       "Thickness, head, DFS and tool table as last kept by the desktop program; "
                                       "--settings=DIR names its settings folder");
    auto number = [](std::optional<double> (*valueOf)(std::string_view), const char* what) {
        return CLI::Validator(
            [valueOf, what](std::string& text) { return valueOf(text) ? std::string() : text + " is not " + what; },
            "");
    };
    command->add_option("--rapid-rate", args.rapidRate,
                        "Rapid rate of the machine for the time estimate, in mm per minute whatever the program's "
                        "units (default " + std::to_string(static_cast<int>(MachiningRates::kDefaultRapidRate)) + ")")
        ->check(number(rapidRateValue, "a rate above 0"));
    command->add_option("--tool-change-time", args.toolChangeTime,
                        "Seconds each tool call takes, for the time estimate (default " +
                            std::to_string(static_cast<int>(MachiningRates::kDefaultToolChangeTime)) + ")")
        ->check(number(toolChangeTimeValue, "a number of seconds, 0 or more"));
    command->parse_complete_callback([&args, thickness, head, settings] {
        args.thicknessGiven = thickness->count() > 0;
        args.headGiven = head->count() > 0;
        args.useSettings = settings->count() > 0;
    });
}

int conversionOptionsOf(const ConversionArguments& args, ConversionOptions& options, const char* command,
                        std::FILE* err, MachiningRates* rates) {
    if (!args.thicknessGiven && !args.useSettings) {
        std::fprintf(err, "pathshift-cli %s: --thickness is required (or --settings)\n", command);
        return kExitUsage;
    }
    options.thickness = args.thickness;
    options.head = args.head == 2 ? Head::Two : Head::One;
    options.dfs = args.dfs;
    options.ipsFeed = args.ipsFeed;
    const std::string settingsFolder = args.useSettings ? settingsFolderOf(args) : std::string();
    MachiningRates chosenRates;
    if (args.useSettings && !applySettings(args, settingsFolder, options, chosenRates, err)) return kExitUsage;
    if (args.rapidRate) chosenRates.rapidRate = *args.rapidRate;
    if (args.toolChangeTime) chosenRates.toolChangeTime = *args.toolChangeTime;
    if (rates) *rates = chosenRates;
    if (!buildToolTable(args, settingsFolder, options.tools, err)) return kExitUsage;
    if (!thicknessValue(options.thickness)) {
        std::fprintf(err, "pathshift-cli: %s; nothing was converted\n", thicknessRefusal(options.thickness).c_str());
        return kExitUsage;
    }
    return 0;
}

}  // namespace pathshift::cli
