#include "preview_command.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <cstdio>
#include <filesystem>

#include "engine/io/atomic_file.h"
#include "engine/plan/plan_preview.h"
#include "engine/plan/plan_svg.h"
#include "engine/io/quoted_name.h"
#include "engine/io/text_source.h"
#ifdef PATHSHIFT_WITH_QT
#include "png_module.h"
#endif

namespace pathshift::cli {
namespace {

namespace fs = std::filesystem;

constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

// NaN passes every comparison of a range check, so a number must be finite before it is compared.
const CLI::Validator kFinite(
    [](std::string& text) {
        const double value = std::strtod(text.c_str(), nullptr);
        return std::isfinite(value) ? std::string() : "\"" + text + "\" is not a finite number";
    },
    "", "finite");

std::string lowerExtension(const std::string& path) {
    std::string extension = fs::path(path).extension().string();
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return extension;
}

bool writeSvg(const PreviewArguments& args, const ConversionOptions& options, ConversionReport& report,
              PlanSummary& summary, PreviewError& error) {
    SourceFile source;
    if (!source.open(args.source, error.reason)) return false;
    AtomicFile file(args.picture);
    if (!file.open()) {
        error = {0, file.error()};
        return false;
    }
    SvgPlanWriter writer(file);
    if (!drawConvertedPlan(source, options, args.width, writer, report, summary, error)) {
        if (!file.error().empty()) error = {0, file.error()};
        return false;
    }
    if (!file.commit()) {
        error = {0, file.error()};
        return false;
    }
    return true;
}

}  // namespace

CLI::App* addPreviewCommand(CLI::App& app, PreviewArguments& args) {
    CLI::App* preview = app.add_subcommand("preview", "Draw the toolpath of a converted program");
    addConversionOptions(preview, args);
    preview->add_option("-o,--output", args.picture, "Picture file: .svg, or .png when built with Qt")->required();
    preview->add_option("--width", args.width, "Picture width in pixels")->check(kFinite)->check(CLI::Range(200.0, 20000.0));
    preview->add_flag("-q,--quiet", args.quiet, "Print only failures");
    preview->add_option("SOURCE", args.source, "Tarvo program file")->required();
    preview->footer(
        "\nA plan view in the source program's coordinates: cuts coloured by depth, rapids dashed,\n"
        "tool changes marked, and a legend with units, extents, counts and the estimated machining\n"
        "time.\n"
        "\nExamples:\n"
        "  pathshift-cli preview --thickness 0.75 -o part.svg part.nc\n"
        "  pathshift-cli preview --settings --width 2000 -o part.png part.nc\n"
        "\nExit status: 0 written, 1 the program or the picture failed, 2 usage error.");
    return preview;
}

int runPreview(const PreviewArguments& args, const Streams& streams) {
    const std::string extension = lowerExtension(args.picture);
    if (extension != ".svg" && extension != ".png") {
        std::fprintf(streams.err, "pathshift-cli preview: %s: the picture's name must end in .svg or .png\n",
                     quotedName(args.picture).c_str());
        return kExitUsage;
    }
#ifndef PATHSHIFT_WITH_QT
    if (extension == ".png") {
        std::fprintf(streams.err,
                     "pathshift-cli preview: PNG pictures need a pathshift-cli built with Qt "
                     "(PATHSHIFT_BUILD_APP=ON); write an .svg picture instead\n");
        return kExitUsage;
    }
#endif
    ConversionOptions options;
    MachiningRates rates;
    if (const int refused = conversionOptionsOf(args, options, "preview", streams.err, &rates)) return refused;

    ConversionReport report;
    PlanSummary summary(rates);
    PreviewError error;
    bool written = false;
#ifdef PATHSHIFT_WITH_QT
    if (extension == ".png") {
        std::string why;
        const PlanPngWriter writePng = planPngWriter(why);
        if (!writePng) {
            std::fprintf(streams.err, "pathshift-cli preview: PNG pictures need pathshift-cli's PNG writer: %s; "
                         "write an .svg picture instead\n", why.c_str());
            return kExitFailed;
        }
        written = writePng(args.source, options, args.width, args.picture, report, summary, error);
    } else
#endif
        written = writeSvg(args, options, report, summary, error);
    if (!args.quiet) printWarnings(streams.err, args.source, report);
    if (!written) {
        printError(streams.err, args.source, error.line, error.reason);
        return kExitFailed;
    }
    if (!args.quiet)
        std::fprintf(streams.out, "drew %s -> %s: %s\n", quotedName(args.source).c_str(), quotedName(args.picture).c_str(),
                    legendLines(summary)[1].c_str());
    return 0;
}

}  // namespace pathshift::cli
