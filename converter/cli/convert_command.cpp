#include "convert_command.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <filesystem>
#include <string>

#include "engine/conversion.h"
#include "engine/text_source.h"
#include "engine/file_run.h"
#include "engine/tool_table_file.h"
#include "progress_line.h"
#include "settings/app_folder.h"
#include "settings/setting_values.h"
#include "settings/settings_file.h"

namespace pathshift::cli {
namespace {

namespace fs = std::filesystem;

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

void printError(const std::string& file, std::size_t line, const std::string& reason) {
    if (line > 0)
        std::fprintf(stderr, "%s:%zu: %s\n", file.c_str(), line, reason.c_str());
    else
        std::fprintf(stderr, "%s: %s\n", file.c_str(), reason.c_str());
}

void printWarnings(const std::string& file, const ConversionReport& report) {
    for (const ConversionWarning& warning : report.warnings) {
        if (warning.line > 0)
            std::fprintf(stderr, "%s:%zu: warning: %s\n", file.c_str(), warning.line, warning.text.c_str());
        else
            std::fprintf(stderr, "%s: warning: %s\n", file.c_str(), warning.text.c_str());
    }
    if (report.unlistedWarnings > 0)
        std::fprintf(stderr, "%s: warning: %zu more warnings of the kinds above are not listed\n", file.c_str(),
                     report.unlistedWarnings);
}

void printSummary(const FileResult& file, bool check) {
    const ConversionReport& r = file.report;
    const std::size_t warnings = r.warningCount();
    std::printf("%s %s%s: %zu lines, %zu blocks translated, %zu dropped, %zu plunges, %zu tool calls, %zu %s\n",
                check ? "checked" : "converted", file.source.string().c_str(),
                check ? "" : (" -> " + file.target.string()).c_str(), r.linesRead, r.blocksTranslated,
                r.linesDropped, r.plunges, r.toolCalls, warnings, warnings == 1 ? "warning" : "warnings");
}

// Rows from --tool first, in command-line order, then the rows of --tool-table: the first matching
// row wins, so a --tool row overrides the table.
bool appendTableFile(const std::string& path, ToolTable& table) {
    ToolTableFileError error;
    std::optional<ToolTable> loaded = loadToolTable(path, error);
    if (!loaded) {
        printError(path, static_cast<std::size_t>(error.line), error.reason);
        return false;
    }
    for (const ToolRow& row : loaded->rows()) table.appendRow(row);
    return true;
}

std::string settingsFolderOf(const ConvertArguments& args) {
    if (!args.settingsFolder.empty()) {
        std::string folder = args.settingsFolder;
        if (folder.back() != kFolderSeparator) folder += kFolderSeparator;
        return folder;
    }
    return AppFolder(systemAppFolderPlaces());
}

// Thickness, head and DFS stored by the desktop program, where the command line does not give them.
bool applySettings(const ConvertArguments& args, const std::string& folder, ConversionOptions& options) {
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) {
        printError(folder, 0, "no such settings folder");
        return false;
    }
    const StoredRunSettings stored = readRunSettings(SettingsFile(SettingsPath(folder)));
    if (!args.thicknessGiven) options.thickness = stored.thickness;
    if (!args.headGiven) options.head = stored.head;
    if (!args.dfs) options.dfs = stored.dfs;
    return true;
}

// Rows from --tool first, in command-line order, then the settings folder's table, then the rows
// of --tool-table: the first matching row wins, so a --tool row overrides both tables.
bool buildToolTable(const ConvertArguments& args, const std::string& settingsFolder, ToolTable& table) {
    for (const std::string& tool : args.tools) {
        const std::size_t equals = tool.find('=');
        if (equals == std::string::npos) {
            std::fprintf(stderr, "pathshift-cli: --tool %s: expected SRC=DST\n", tool.c_str());
            return false;
        }
        table.appendRow({tool.substr(0, equals), tool.substr(equals + 1)});
    }
    // A settings folder without a table is a program that never saved one: no rows.
    if (!settingsFolder.empty() && !appendTableFile(settingsFolder + kToolTableFileName, table)) return false;
    if (!args.toolTable.empty()) {
        std::error_code ec;
        if (!fs::exists(args.toolTable, ec)) {
            printError(args.toolTable, 0, "no such tool table");
            return false;
        }
        if (!appendTableFile(args.toolTable, table)) return false;
    }
    return true;
}

int convertToStdout(const ConvertArguments& args, const ConversionOptions& options) {
    const std::string& source = args.sources.front();
    std::string text;
    std::string readError;
    if (!readWholeFile(source, text, readError)) {
        printError(source, 0, readError);
        return kExitFailed;
    }
    ConversionResult result = convertProgram(text, options);
    if (!args.quiet) printWarnings(source, result.report);
    if (!result.converted) {
        printError(source, result.error.line, result.error.reason);
        return kExitFailed;
    }
    if (std::fwrite(result.text.data(), 1, result.text.size(), stdout) != result.text.size() ||
        std::fflush(stdout) != 0) {
        std::fprintf(stderr, "pathshift-cli: cannot write to standard output\n");
        return kExitFailed;
    }
    return 0;
}

}  // namespace

CLI::App* addConvertCommand(CLI::App& app, ConvertArguments& args) {
    CLI::App* convert = app.add_subcommand("convert", "Convert Tarvo programs into Selvix programs");
    auto* thickness = convert->add_option("--thickness", args.thickness, "Part thickness, copied into the header as typed")
        ->allow_extra_args(false);
    auto* head = convert->add_option("--head", args.head, "Machining head: 1 (tools 1001-1009) or 2 (tools 2001-2019)")
        ->check(CLI::IsMember({1, 2}))
        ->default_val(1);
    convert->add_flag("--dfs", args.dfs, "Write the DFS digit of the tool call as 1");
    convert->add_flag("--ips-feed", args.ipsFeed, "Convert inch feed rates from per minute to per second");
    convert->add_option("--tool", args.tools, "A tool table row SRC=DST (repeatable; before --tool-table rows)")
        ->allow_extra_args(false);
    convert->add_option("--tool-table", args.toolTable, "Tool table file (ToolTbl.Dat format)");
    // A flag, so that "--settings part.nc" does not take the source for the folder.
    auto* settings = convert->add_flag("--settings{}", args.settingsFolder,
                                       "Thickness, head, DFS and tool table as last kept by the desktop program; "
                                       "--settings=DIR names its settings folder");
    convert->parse_complete_callback([&args, thickness, head, settings] {
        args.thicknessGiven = thickness->count() > 0;
        args.headGiven = head->count() > 0;
        args.useSettings = settings->count() > 0;
    });
    auto* output = convert->add_option("-o,--output", args.outputFolder, "Destination folder");
    auto* toStdout = convert->add_flag("--stdout", args.toStdout, "Write the converted program to standard output");
    auto* check = convert->add_flag("--check", args.check, "Convert and report, write nothing");
    output->excludes(toStdout)->excludes(check);
    toStdout->excludes(check);
    convert->add_flag("-q,--quiet", args.quiet, "Print only failures");
    convert->add_flag("--strict", args.strict, "Treat every warning as a failure of its file");
    convert->add_option("SOURCE", args.sources, "Tarvo program files")->required();
    convert->footer(
        "\nExamples:\n"
        "  pathshift-cli convert --thickness 0.75 -o out part1.nc part2.nc\n"
        "  pathshift-cli convert --thickness 18 --head 2 --dfs --tool 2005=3 --stdout part.nc\n"
        "  pathshift-cli convert --thickness 0.75 --tool-table ToolTbl.Dat --check --strict *.nc\n"
        "  pathshift-cli convert --settings -o out part.nc\n"
        "\nExit status: 0 every file converted, 1 a file failed (the others are still written),\n"
        "2 usage error. Failures and warnings go to standard error as FILE:LINE: text.");
    return convert;
}

int runConvert(const ConvertArguments& args) {
    if (!args.toStdout && !args.check && args.outputFolder.empty()) {
        std::fprintf(stderr, "pathshift-cli convert: one of -o DIR, --stdout or --check is required\n");
        return kExitUsage;
    }
    if (args.toStdout && args.sources.size() != 1) {
        std::fprintf(stderr, "pathshift-cli convert: --stdout takes exactly one source\n");
        return kExitUsage;
    }
    if (!args.thicknessGiven && !args.useSettings) {
        std::fprintf(stderr, "pathshift-cli convert: --thickness is required (or --settings)\n");
        return kExitUsage;
    }
    ConversionOptions options;
    options.thickness = args.thickness;
    options.head = args.head == 2 ? Head::Two : Head::One;
    options.dfs = args.dfs;
    options.ipsFeed = args.ipsFeed;
    options.strict = args.strict;
    const std::string settingsFolder = args.useSettings ? settingsFolderOf(args) : std::string();
    if (args.useSettings && !applySettings(args, settingsFolder, options)) return kExitUsage;
    if (!buildToolTable(args, settingsFolder, options.tools)) return kExitUsage;
    if (!thicknessValue(options.thickness)) {
        std::fprintf(stderr, "pathshift-cli: %s; nothing was converted\n", thicknessRefusal(options.thickness).c_str());
        return kExitUsage;
    }
    if (args.toStdout) return convertToStdout(args, options);

    std::vector<fs::path> sources(args.sources.begin(), args.sources.end());
    ProgressLine progressLine(!args.quiet);
    auto progress = [&](const RunProgress& p) {
        const unsigned percent = p.total ? static_cast<unsigned>(100.0 * static_cast<double>(p.done) /
                                                                 static_cast<double>(p.total))
                                         : 0;
        progressLine.show("[" + std::to_string(p.fileIndex + 1) + "/" + std::to_string(p.fileCount) + "] " +
                          p.source->filename().string() + " " + std::to_string(percent) + "%");
    };
    auto fileDone = [&](const FileResult& file) {
        progressLine.clear();
        if (!args.quiet) printWarnings(file.source.string(), file.report);
        if (!file.converted) {
            printError(file.source.string(), file.error.line, file.error.reason);
        } else if (!args.quiet) {
            printSummary(file, args.check);
            std::fflush(stdout);
        }
    };
    const fs::path destination = args.check ? fs::path() : fs::path(args.outputFolder);
    RunResult run = convertFiles(sources, destination, options, progress, fileDone);
    return run.allConverted() ? 0 : kExitFailed;
}

}  // namespace pathshift::cli
