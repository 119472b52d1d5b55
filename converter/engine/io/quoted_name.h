#pragma once
// File names as messages show them. A name may hold any byte but '/' and NUL: a line break would
// split a FILE:LINE: message in two and an escape sequence would reach the terminal. Such a name
// is written the way a shell reads it back, 'a'$'\n''b'; every other name is shown as it is.

#include <filesystem>
#include <string>
#include <string_view>

namespace pathshift {

std::string quotedName(std::string_view name);
inline std::string quotedName(const char* name) { return quotedName(std::string_view(name)); }
inline std::string quotedName(const std::string& name) { return quotedName(std::string_view(name)); }
inline std::string quotedName(const std::filesystem::path& path) { return quotedName(path.string()); }

}  // namespace pathshift
