#include "convert_command.h"

#include <CLI/CLI.hpp>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "console.h"
#include "conversion_setup.h"
#include "engine/translation/conversion.h"
#include "engine/runs/file_run.h"
#include "engine/runs/parallel_run.h"
#include "engine/io/quoted_name.h"
#include "engine/io/scratch_file.h"
#include "engine/io/text_source.h"
#include "progress_line.h"

namespace pathshift::cli {
namespace {

namespace fs = std::filesystem;

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

}  // namespace

// One line per file; a file with no numbered block is written but counted apart from the converted.
void printSummary(std::FILE* out, const FileResult& file, bool check, const std::string& prefix,
                  const std::string& suffix) {
    const ConversionReport& r = file.report;
    const std::size_t warnings = r.warningCount();
    const std::string verb = r.nothingToConvert() ? std::string(kNothingToConvert) + ":" : check ? "checked" : "converted";
    const std::string time = file.time ? ", " + machiningTimeText(*file.time) : std::string();
    std::fprintf(out, "%s%s %s%s: %zu lines, %zu blocks translated, %zu dropped, %zu plunges, %zu tool calls, %zu %s%s%s\n",
                 prefix.c_str(), verb.c_str(), quotedName(file.source).c_str(),
                 check ? "" : (" -> " + quotedName(file.target)).c_str(), r.linesRead, r.blocksTranslated,
                 r.linesDropped, r.plunges, r.toolCalls, warnings, warnings == 1 ? "warning" : "warnings",
                 time.c_str(), suffix.c_str());
}

namespace {

// Converted into a nameless scratch file and copied out only when the whole conversion succeeded:
// a failed one writes nothing to standard output, and a program of any size needs little memory.
int convertToStdout(const ConvertArguments& args, const ConversionOptions& options, const Streams& streams) {
    const std::string& source = args.sources.front();
    SourceFile file;
    ScratchFile scratch;
    std::string openError;
    if (!file.open(source, openError) || !scratch.open()) {
        printError(streams.err, source, 0, openError.empty() ? scratch.error() : openError);
        return kExitFailed;
    }
    ConversionReport report;
    ConversionError error;
    const bool converted = convertProgram(file, options, scratch, report, error);
    if (!args.quiet) printWarnings(streams.err, source, report);
    if (!converted) {
        if (!scratch.error().empty()) error = {0, scratch.error()};
        printError(streams.err, source, error.line, error.reason);
        return kExitFailed;
    }
    useBinaryMode(streams.out);
    std::string readError;
    // Handed to standard output inside the system where it takes that (a file, a pipe).
    if (std::fflush(streams.out) == 0 && fileno(streams.out) >= 0) {
        switch (scratch.copyTo(fileno(streams.out), readError)) {
            case ScratchFile::CopyOut::Sent: return 0;
            case ScratchFile::CopyOut::Failed:
                std::fprintf(streams.err, "pathshift-cli: cannot write to standard output: %s\n", readError.c_str());
                return kExitFailed;
            case ScratchFile::CopyOut::Unsupported: break;
        }
    }
    if (!scratch.rewind(readError)) {
        printError(streams.err, source, 0, readError);
        return kExitFailed;
    }
    std::vector<char> piece(std::size_t{1} << 20);
    long got = 0;
    while ((got = scratch.read(piece.data(), piece.size(), readError)) > 0) {
        if (std::fwrite(piece.data(), 1, static_cast<std::size_t>(got), streams.out) != static_cast<std::size_t>(got)) break;
    }
    if (got < 0) {
        printError(streams.err, source, 0, readError);
        return kExitFailed;
    }
    if (got > 0 || std::fflush(streams.out) != 0) {
        std::fprintf(streams.err, "pathshift-cli: cannot write to standard output\n");
        return kExitFailed;
    }
    return 0;
}

}  // namespace

CLI::App* addConvertCommand(CLI::App& app, ConvertArguments& args) {
    CLI::App* convert = app.add_subcommand("convert", "Convert Tarvo programs into Selvix programs");
    addConversionOptions(convert, args);
    auto* output = convert->add_option("-o,--output", args.outputFolder, "Destination folder");
    auto* toStdout = convert->add_flag("--stdout", args.toStdout, "Write the converted program to standard output");
    auto* check = convert->add_flag("--check", args.check, "Convert and report, write nothing");
    output->excludes(toStdout)->excludes(check);
    toStdout->excludes(check);
    convert->add_flag("-q,--quiet", args.quiet, "Print only failures");
    convert->add_flag("--strict", args.strict, "Treat every warning as a failure of its file");
    convert->add_option("-j,--jobs", args.jobs,
                        "Files converted at once (default: one per core); results and messages keep the "
                        "order of the sources")
        ->check(CLI::Range(1u, 1024u));
    convert->add_option("SOURCE", args.sources, "Tarvo program files")->required();
    convert->footer(
        "\nExamples:\n"
        "  pathshift-cli convert --thickness 0.75 -o out part1.nc part2.nc\n"
        "  pathshift-cli convert --thickness 18 --head 2 --dfs --tool 2005=3 --stdout part.nc\n"
        "  pathshift-cli convert --thickness 0.75 --tool-table ToolTbl.Dat --check --strict *.nc\n"
        "  pathshift-cli convert --settings -o out part.nc\n"
        "  pathshift-cli convert --thickness 0.75 -j 4 -o out *.nc\n"
        "\nExit status: 0 every file converted, 1 a file failed (the others are still written),\n"
        "2 usage error. Failures and warnings go to standard error as FILE:LINE: text.");
    return convert;
}

int runConvert(const ConvertArguments& args, const Streams& streams) {
    if (!args.toStdout && !args.check && args.outputFolder.empty()) {
        std::fprintf(streams.err, "pathshift-cli convert: one of -o DIR, --stdout or --check is required\n");
        return kExitUsage;
    }
    if (args.toStdout && args.sources.size() != 1) {
        std::fprintf(streams.err, "pathshift-cli convert: --stdout takes exactly one source\n");
        return kExitUsage;
    }
    ConversionOptions options;
    MachiningRates rates;
    if (const int refused = conversionOptionsOf(args, options, "convert", streams.err, &rates)) return refused;
    options.strict = args.strict;
    if (args.toStdout) return convertToStdout(args, options, streams);

    std::vector<fs::path> sources(args.sources.begin(), args.sources.end());
    ProgressLine progressLine(!args.quiet, streams.err);
    auto progress = [&](const RunProgress& p) {
        const unsigned percent = p.total ? static_cast<unsigned>(100.0 * static_cast<double>(p.done) /
                                                                 static_cast<double>(p.total))
                                         : 0;
        progressLine.show("[" + std::to_string(p.fileIndex + 1) + "/" + std::to_string(p.fileCount) + "] " +
                          quotedName(p.source->filename()) + " " + std::to_string(percent) + "%");
    };
    auto fileDone = [&](const FileResult& file) {
        progressLine.clear();
        if (!args.quiet) printWarnings(streams.err, file.source.string(), file.report);
        if (!file.converted) {
            printError(streams.err, file.source.string(), file.error.line, file.error.reason);
        } else if (!args.quiet) {
            printSummary(streams.out, file, args.check);
            std::fflush(streams.out);
        }
    };
    const fs::path destination = args.check ? fs::path() : fs::path(args.outputFolder);
    const unsigned jobs = args.jobs > 0 ? args.jobs : defaultJobCount();
    RunResult run = convertFilesInParallel(sources, destination, options, jobs, progress, fileDone, rates);
    return run.allConverted() ? 0 : kExitFailed;
}

}  // namespace pathshift::cli
