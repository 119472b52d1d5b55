#pragma once
// `pathshift-cli convert`: options, and the run they describe.

#include <string>
#include <vector>

#include "command.h"
#include "conversion_setup.h"
#include "engine/runs/file_run.h"

namespace pathshift::cli {

struct ConvertArguments : ConversionArguments {
    std::string outputFolder;
    bool toStdout = false;
    bool check = false;
    bool quiet = false;
    bool strict = false;
    unsigned jobs = 0;  // files converted at once; 0 for one per core
    std::vector<std::string> sources;
};

// Adds the subcommand and its options to the application.
CLI::App* addConvertCommand(CLI::App& app, ConvertArguments& arguments);
// Runs it: 0 when every file converted, 1 when any failed, 2 for a usage error.
int runConvert(const ConvertArguments& arguments, const Streams& streams);

// The line on standard output that tells how a converted file went, between `prefix` and `suffix`.
void printSummary(std::FILE* out, const FileResult& file, bool check, const std::string& prefix = {},
                  const std::string& suffix = {});

}  // namespace pathshift::cli
