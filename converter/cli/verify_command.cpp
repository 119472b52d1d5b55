#include "verify_command.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cstdio>

#include "engine/io/quoted_name.h"
#include "engine/toolpath/verifier.h"

namespace pathshift::cli {
namespace {

constexpr int kExitDifferent = 1;
constexpr int kExitUnverified = 2;

const char* plural(std::size_t n, const char* one, const char* many) { return n == 1 ? one : many; }

void printDifference(std::FILE* out, const std::string& file, const VerifyDifference& d) {
    std::string where = quotedName(file);
    if (d.sourceLine > 0) where += ":" + std::to_string(d.sourceLine);
    if (d.targetLine > 0)
        std::fprintf(out, "%s: target line %zu: %s\n", where.c_str(), d.targetLine, d.text.c_str());
    else
        std::fprintf(out, "%s: %s\n", where.c_str(), d.text.c_str());
}

int verifyOne(const std::string& file, const std::string& converted, const ConversionOptions& options,
              const MachiningRates& rates, bool quiet, const Streams& streams) {
    const VerifyResult result =
        converted.empty() ? verifyFile(file, options, rates) : verifyFile(file, converted, options, rates);
    if (!result.verified) {
        printError(streams.err, file, result.error.line, result.error.reason + " (not verified)");
        return kExitUnverified;
    }
    const VerifyReport& report = result.report;
    for (const VerifyDifference& d : report.differences) printDifference(streams.out, file, d);
    const std::size_t unlisted = report.differenceCount - report.differences.size();
    const std::string shown = quotedName(file);
    if (unlisted > 0) std::fprintf(streams.out, "%s: %zu more %s not listed\n", shown.c_str(), unlisted, plural(unlisted, "difference", "differences"));
    const std::string time = result.time ? ", " + machiningTimeText(*result.time) : std::string();
    if (!quiet || !report.same())
        std::fprintf(streams.out, "%s: %zu %s checked, %zu %s%s\n", shown.c_str(), report.movesChecked,
                     plural(report.movesChecked, "move", "moves"), report.differenceCount,
                     plural(report.differenceCount, "difference", "differences"), time.c_str());
    std::fflush(streams.out);
    return report.same() ? 0 : kExitDifferent;
}

}  // namespace

CLI::App* addVerifyCommand(CLI::App& app, VerifyArguments& args) {
    CLI::App* verify = app.add_subcommand(
        "verify", "Convert Tarvo programs and check that each converted program cuts what its source cuts");
    addConversionOptions(verify, args);
    verify->add_option("--converted", args.converted,
                       "A program converted earlier (perhaps edited since) to verify instead of converting anew; "
                       "one SOURCE only");
    verify->add_flag("-q,--quiet", args.quiet, "Print only differences and failures");
    verify->add_option("SOURCE", args.sources, "Tarvo program files")->required();
    verify->footer(
        "\nEvery cutting move of the source (G1, G2, G3) is replayed as the converter reads it and\n"
        "laid over the converted program's move in the same order: the same kind, the same end point\n"
        "and depth, the same arc centre, the same tool. Nothing is written.\n"
        "\nTolerance: 0.00005 (half the last of the converted program's four decimals) for each\n"
        "value a coordinate is made of (one for X, Y and arc centres, two for Z: the motion line's Z\n"
        "and the tool call's depth), plus a millionth of the value for the 32-bit precision of the\n"
        "source's values, which are written to 7 significant digits.\n"
        "\nExamples:\n"
        "  pathshift-cli verify --thickness 0.75 --tool-table ToolTbl.Dat part.nc\n"
        "  pathshift-cli verify --settings part1.nc part2.nc\n"
        "  pathshift-cli verify --thickness 0.75 --converted out/part.nc part.nc\n"
        "\nPrints each difference as FILE:LINE: target line N: what differs, then\n"
        "FILE: N moves checked, M differences, estimated machining time H:MM:SS (cutting, rapid,\n"
        "tool changes).\n"
        "Exit status: 0 every program cuts what its source cuts, 1 a program differs,\n"
        "2 a program could not be verified (unreadable, refused by the converter) or usage error.");
    return verify;
}

int runVerify(const VerifyArguments& args, const Streams& streams) {
    if (!args.converted.empty() && args.sources.size() != 1) {
        std::fprintf(streams.err, "pathshift-cli verify: --converted takes exactly one source\n");
        return kExitUnverified;
    }
    ConversionOptions options;
    MachiningRates rates;
    if (const int status = conversionOptionsOf(args, options, "verify", streams.err, &rates); status != 0) return status;
    int worst = 0;
    for (const std::string& source : args.sources)
        worst = std::max(worst, verifyOne(source, args.converted, options, rates, args.quiet, streams));
    return worst;
}

}  // namespace pathshift::cli
