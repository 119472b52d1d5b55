#pragma once
// pathshift-cli as a call: the arguments (without the program's name) and the streams to write to
// in, the exit status out. Runs share no state, so a process may hold several at once.

#include <string>
#include <vector>

#include "command.h"

namespace pathshift::cli {

// 0 success, 1 a file failed or differs, 2 a usage error (see each command for its meanings).
int runCommandLine(const std::vector<std::string>& arguments, const Streams& streams);

}  // namespace pathshift::cli
