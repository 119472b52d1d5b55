// Hands out the strings of a file dialog's multiple-selection result buffer by index.
#pragma once
#include <string>
#include <string_view>

namespace qz {

// `buffer` is the whole result buffer (directory, then names, each NUL-terminated, then a final NUL);
// `max_file_size` is the size the dialog was given. Index 0 is the first string, 1.. the following
// ones, one past the last the empty string; other indexes give the first string again. The scan never
// reads past the buffer, whatever `max_file_size` says.
std::string FileNameFromList(std::string_view buffer, int max_file_size, int index);

}  // namespace qz
