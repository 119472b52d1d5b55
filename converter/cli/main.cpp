// pathshift-cli: converts Tarvo part programs into Selvix part programs from the command line.

#include <cstdio>

#include "command_line.h"
#include "console.h"

int main(int argc, char** argv) {
    pathshift::cli::setUpConsole();
    return pathshift::cli::runCommandLine({argv + 1, argv + argc}, {stdout, stderr});
}
