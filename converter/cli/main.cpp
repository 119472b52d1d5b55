// pathshift-cli: converts Tarvo part programs into Selvix part programs from the command line.

#include <CLI/CLI.hpp>
#include <cstdio>

#include "convert_command.h"
#include "preview_command.h"
#include "verify_command.h"
#include "watch_command.h"

int main(int argc, char** argv) {
    CLI::App app{"Converts CNC router part programs from the Tarvo dialect into the Selvix dialect."};
    app.set_version_flag("--version", std::string("pathshift-cli ") + PATHSHIFT_VERSION);
    app.require_subcommand(1);
    app.footer("\nRun 'pathshift-cli convert --help' for the conversion's options and examples.");

    pathshift::cli::ConvertArguments convertArguments;
    CLI::App* convert = pathshift::cli::addConvertCommand(app, convertArguments);
    pathshift::cli::PreviewArguments previewArguments;
    CLI::App* preview = pathshift::cli::addPreviewCommand(app, previewArguments);
    pathshift::cli::VerifyArguments verifyArguments;
    CLI::App* verify = pathshift::cli::addVerifyCommand(app, verifyArguments);
    pathshift::cli::WatchArguments watchArguments;
    CLI::App* watch = pathshift::cli::addWatchCommand(app, watchArguments);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e);
        return code == 0 ? 0 : 2;
    }
    if (convert->parsed()) return pathshift::cli::runConvert(convertArguments);
    if (preview->parsed()) return pathshift::cli::runPreview(previewArguments);
    if (verify->parsed()) return pathshift::cli::runVerify(verifyArguments);
    if (watch->parsed()) return pathshift::cli::runWatch(watchArguments);
    return 2;
}
