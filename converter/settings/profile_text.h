#pragma once
// The text of a profile file ("[Section]" lines, then "Key=Value" lines) read and changed in
// memory, with the documented behaviour of the Windows private-profile functions: section and key
// names matched without regard to case, blanks around names and values not part of them, one pair
// of quotes around a value dropped, the first matching section and key used, an existing key
// replaced in place and every other line kept as it was. Reads LF or CR LF; writes CR LF.

#include <optional>
#include <string>
#include <string_view>

namespace pathshift::profile {

// The value stored under section and key, or empty when either is missing.
std::optional<std::string> findValue(std::string_view text, std::string_view section, std::string_view key);

// The text with the value stored under section and key: the key's line replaced where it stands,
// else a new line after the section's last entry, else a new section at the end.
std::string storeValue(std::string_view text, std::string_view section, std::string_view key,
                       std::string_view value);

// Blanks (spaces and tabs) removed from both ends.
std::string_view trimBlanks(std::string_view text);

}  // namespace pathshift::profile
