// The about box's text, built from a module file's own version resource. Kept apart from the
// showing, so a build that shows its about box some other way can still use it.
#pragma once
#include <windows.h>

#include <cstddef>
#include <span>
#include <string>

namespace qz {

inline constexpr size_t kAboutTextBytes = 2000;
inline constexpr char kAboutTitle[] = "About...";
inline constexpr char kNoVersionInfo[] = "Error Getting Version Info.";

struct AboutMessage {
  bool has_version_info = false;  // false: `text` is the error message
  std::string text;
};

// The message for the file that `module` was loaded from.
AboutMessage BuildAboutMessage(HMODULE module);

// Writes the banner and the three labelled parts into `text`, cut where it ends; the result is
// always terminated inside `text`. Returns the length written.
size_t ComposeAboutText(std::span<char> text, const char* control_name, const char* version,
                        const char* module_path);

}  // namespace qz
