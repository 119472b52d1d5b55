#pragma once
// `pathshift-cli verify`: converts programs and proves, move by move, that each converted program
// cuts what its source cuts.

#include <string>
#include <vector>

#include "command.h"
#include "conversion_setup.h"

namespace pathshift::cli {

struct VerifyArguments : ConversionArguments {
    std::vector<std::string> sources;
    std::string converted;  // a program converted earlier, verified instead of a fresh conversion
    bool quiet = false;
};

CLI::App* addVerifyCommand(CLI::App& app, VerifyArguments& arguments);
// 0 when every program cuts what its source cuts, 1 when one differs, 2 when a program could not
// be verified (unreadable, refused by the converter) or for a usage error.
int runVerify(const VerifyArguments& arguments, const Streams& streams);

}  // namespace pathshift::cli
