// Copies text into a fixed buffer the system fills or reads: cut to fit, always NUL-terminated,
// never written past `size` bytes.
#pragma once
#include <cstddef>
#include <cstring>
#include <string_view>

namespace qz {

inline void CopyCut(char* buffer, size_t size, std::string_view text) {
  if (!buffer || size == 0) return;
  const size_t n = text.size() < size ? text.size() : size - 1;
  std::memcpy(buffer, text.data(), n);
  buffer[n] = '\0';
}

}  // namespace qz
