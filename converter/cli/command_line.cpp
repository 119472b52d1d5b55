#include "command_line.h"

#include <CLI/CLI.hpp>
#include <memory>
#include <sstream>

#include "convert_command.h"
#include "preview_command.h"
#include "verify_command.h"
#include "watch_command.h"

namespace pathshift::cli {

bool Command::chosen() const { return subcommand_->parsed(); }

namespace {

constexpr int kExitUsage = 2;

void write(std::FILE* stream, const std::string& text) {
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
}

}  // namespace

int runCommandLine(const std::vector<std::string>& arguments, const Streams& streams) {
    CLI::App app{"Converts CNC router part programs from the Tarvo dialect into the Selvix dialect.", "pathshift-cli"};
    app.set_version_flag("--version", std::string("pathshift-cli ") + PATHSHIFT_VERSION);
    app.require_subcommand(1);
    app.footer("\nRun 'pathshift-cli convert --help' for the conversion's options and examples.");

    // A command is its file and one line here.
    std::vector<std::unique_ptr<Command>> commands;
    commands.push_back(makeCommand(app, addConvertCommand, runConvert));
    commands.push_back(makeCommand(app, addPreviewCommand, runPreview));
    commands.push_back(makeCommand(app, addVerifyCommand, runVerify));
    commands.push_back(makeCommand(app, addWatchCommand, runWatch));

    try {
        app.parse(std::vector<std::string>(arguments.rbegin(), arguments.rend()));  // the parser takes them last first
    } catch (const CLI::ParseError& e) {
        std::ostringstream out, err;
        const int code = app.exit(e, out, err);
        write(streams.out, out.str());
        write(streams.err, err.str());
        return code == 0 ? 0 : kExitUsage;
    }
    for (const auto& command : commands)
        if (command->chosen()) return command->run(streams);
    return kExitUsage;
}

}  // namespace pathshift::cli
