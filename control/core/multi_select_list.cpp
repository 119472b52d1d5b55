#include "multi_select_list.h"

#include <algorithm>

namespace qz {

std::string FileNameFromList(std::string_view buffer, int max_file_size, int index) {
  if (buffer.empty()) return {};
  size_t start = 0;
  if (index != 0) {
    const size_t limit = std::min(buffer.size(), static_cast<size_t>(std::max(max_file_size, 0)));
    int counter = 0;
    size_t last_nul = 0;
    for (size_t offset = 0; offset < limit; ++offset) {
      if (buffer[offset] == '\0') {
        if (offset == last_nul + 1) break;  // two NULs in a row end the list
        ++counter;
        last_nul = offset;
      }
      if (counter == index) {
        start = offset + 1;
        break;
      }
    }
  }
  if (start >= buffer.size()) return {};
  const std::string_view rest = buffer.substr(start);
  return std::string(rest.substr(0, rest.find('\0')));
}

}  // namespace qz
