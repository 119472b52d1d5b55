// pathshift-cli: converts Tarvo part programs into Selvix part programs from the command line.

#include <CLI/CLI.hpp>
#include <cstdio>

#include "convert_command.h"

int main(int argc, char** argv) {
    CLI::App app{"Converts CNC router part programs from the Tarvo dialect into the Selvix dialect."};
    app.set_version_flag("--version", std::string("pathshift-cli ") + PATHSHIFT_VERSION);
    app.require_subcommand(1);
    app.footer("\nRun 'pathshift-cli convert --help' for the conversion's options and examples.");

    pathshift::cli::ConvertArguments convertArguments;
    CLI::App* convert = pathshift::cli::addConvertCommand(app, convertArguments);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e);
        return code == 0 ? 0 : 2;
    }
    if (convert->parsed()) return pathshift::cli::runConvert(convertArguments);
    return 2;
}
