#pragma once
// The tool table file "ToolTbl.Dat": a versioned text a person can read and edit.
//
//   Pathshift tool table 1
//   rows 3
//   1005<TAB>3
//   1006<TAB>12
//   <TAB>
//
// One line per row, the Tarvo cell, a tab, the Selvix cell. Inside a cell a backslash starts an
// escape: \s space, \t tab, \n line feed, \r carriage return, \\ backslash, \xHH any other byte
// below 0x20. The row count is stated, so empty rows at the end survive. Lines starting with '#'
// are comments. Line ends LF or CR LF.
//
// A hand-edited file is read as its editor plainly meant it: a byte-order mark is skipped, every row
// line present is a row (the count only adds empty rows after them), a blank line is an empty row,
// a run of blanks stands for the tab in a line without one, and an empty file holds no rows.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "engine/translation/tool_table.h"

namespace pathshift {

inline constexpr const char* kToolTableFileName = "ToolTbl.Dat";

struct ToolTableFileError {
    int line = 0;  // 0 when not tied to a line
    std::string reason;
};

std::string formatToolTable(const ToolTable& table);
// Empty with error set when the text is not a tool table of ours. When a row had to be left empty
// (the file was cut off inside it) `repaired` says so.
std::optional<ToolTable> parseToolTable(std::string_view text, ToolTableFileError& error,
                                        std::string* repaired = nullptr);

// A missing file reads as the empty table; a damaged one gives error and no table.
std::optional<ToolTable> loadToolTable(const std::filesystem::path& path, ToolTableFileError& error,
                                       std::string* repaired = nullptr);
// Written atomically; false with error set when the file could not be written.
bool saveToolTable(const std::filesystem::path& path, const ToolTable& table, std::string& error);

}  // namespace pathshift
