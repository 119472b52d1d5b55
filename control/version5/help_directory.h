// Where the older build records its type library's help files.
#pragma once
#include <string>

namespace qz {

// The folder holding `module_path` if it exists; else `windows_dir` + "HELP" if that exists;
// else empty.
std::wstring HelpDirectoryFor(const std::wstring& module_path, const std::wstring& windows_dir);

}  // namespace qz
