#include "engine/translation/tool_table_file.h"

#include <algorithm>
#include <charconv>
#include <system_error>

#include "engine/io/atomic_file.h"
#include "engine/io/text_source.h"

namespace pathshift {
namespace {

constexpr std::string_view kMagic = "Pathshift tool table 1";
constexpr std::string_view kRowsKey = "rows ";
// Far more rows than a tool table holds; a larger count means the file is not ours.
constexpr long kMaxRows = 100000;
// Room for kMaxRows rows of generous cells. A larger file is not a tool table, and reading a link
// to an endless device must stop somewhere.
constexpr std::size_t kMaxToolTableBytes = std::size_t{8} << 20;

void escapeCell(std::string_view cell, std::string& out, bool startsLine) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    for (char c : cell) {
        if (startsLine && c == '#') {  // would read as a comment line
            out += "\\x23";
            startsLine = false;
            continue;
        }
        startsLine = false;
        switch (c) {
            case ' ': out += "\\s"; break;
            case '\t': out += "\\t"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\\': out += "\\\\"; break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    out += "\\x";
                    out += kHex[static_cast<unsigned char>(c) >> 4];
                    out += kHex[static_cast<unsigned char>(c) & 15];
                } else {
                    out += c;
                }
        }
    }
}

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

bool unescapeCell(std::string_view text, std::string& cell, std::string& reason) {
    cell.clear();
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\\') {
            cell += c;
            continue;
        }
        if (++i >= text.size()) {
            reason = "a cell ends in a lone backslash";
            return false;
        }
        switch (text[i]) {
            case 's': cell += ' '; break;
            case 't': cell += '\t'; break;
            case 'n': cell += '\n'; break;
            case 'r': cell += '\r'; break;
            case '\\': cell += '\\'; break;
            case 'x': {
                const int high = i + 1 < text.size() ? hexValue(text[i + 1]) : -1;
                const int low = i + 2 < text.size() ? hexValue(text[i + 2]) : -1;
                if (high < 0 || low < 0) {
                    reason = "\\x must be followed by two hexadecimal digits";
                    return false;
                }
                cell += static_cast<char>(high * 16 + low);
                i += 2;
                break;
            }
            default:
                reason = std::string("unknown escape \\") + text[i];
                return false;
        }
    }
    return true;
}

// Splits the text into lines (LF or CR LF) one at a time.
class Lines {
public:
    explicit Lines(std::string_view text) : text_(text) {}
    bool next(std::string_view& line) {
        if (pos_ >= text_.size()) return false;
        std::size_t end = text_.find('\n', pos_);
        terminated_ = end != std::string_view::npos;
        if (!terminated_) end = text_.size();
        line = text_.substr(pos_, end - pos_);
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
            terminated_ = true;
        }
        pos_ = end + 1;
        ++number_;
        return true;
    }
    int number() const { return number_; }
    // Whether the last line read had its line end: a file cut short loses it.
    bool terminated() const { return terminated_; }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
    int number_ = 0;
    bool terminated_ = false;
};

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

bool isBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view trimmedEnd(std::string_view line) {
    while (!line.empty() && isBlank(line.back())) line.remove_suffix(1);
    return line;
}

// The two cells of a row line: split at its one tab, or, in a line without a tab, at its one run of
// blanks between two words (what a hand edit that typed spaces for the tab plainly meant).
bool splitRow(std::string_view line, std::string_view& tarvo, std::string_view& selvix) {
    std::size_t tab = line.find('\t');
    if (tab != std::string_view::npos) {
        if (line.find('\t', tab + 1) != std::string_view::npos) return false;
        tarvo = line.substr(0, tab);
        selvix = line.substr(tab + 1);
        return true;
    }
    while (!line.empty() && line.back() == ' ') line.remove_suffix(1);
    const std::size_t first = line.find(' ');
    if (first == 0 || first == std::string_view::npos) return false;
    const std::size_t after = line.find_first_not_of(' ', first);
    if (after == std::string_view::npos || line.find(' ', after) != std::string_view::npos) return false;
    tarvo = line.substr(0, first);
    selvix = line.substr(after);
    return true;
}

// "rows N": the stated count, or empty with error set when the line is such a line but N is bad.
bool readRowCount(std::string_view line, int lineNumber, long& count, ToolTableFileError& error) {
    const std::string_view countText = trimmedEnd(line.substr(kRowsKey.size()));
    auto [end, ec] = std::from_chars(countText.data(), countText.data() + countText.size(), count);
    if (ec != std::errc{} || end != countText.data() + countText.size() || count < 0 || count > kMaxRows) {
        error = {lineNumber, "the row count \"" + std::string(countText) + "\" is not a number from 0 to " +
                                 std::to_string(kMaxRows)};
        return false;
    }
    return true;
}

}  // namespace

std::string formatToolTable(const ToolTable& table) {
    std::string out(kMagic);
    out += "\r\n# Tarvo<TAB>Selvix; in a cell \\s is a space, \\t a tab, \\n and \\r line breaks, \\\\ a backslash\r\n";
    out += kRowsKey;
    out += std::to_string(table.rowCount());
    out += "\r\n";
    for (const ToolRow& row : table.rows()) {
        escapeCell(row.tarvo, out, true);
        out += '\t';
        escapeCell(row.selvix, out, false);
        out += "\r\n";
    }
    return out;
}

std::optional<ToolTable> parseToolTable(std::string_view text, ToolTableFileError& error, std::string* repaired) {
    if (text.substr(0, kByteOrderMark.size()) == kByteOrderMark) text.remove_prefix(kByteOrderMark.size());
    ToolTable table;
    if (text.find_first_not_of(" \t\r\n") == std::string_view::npos) return table;  // an emptied file: no rows
    Lines lines(text);
    std::string_view line;
    if (!lines.next(line) || trimmedEnd(line) != kMagic) {
        error = {1, "not a Pathshift tool table (the first line must read \"" + std::string(kMagic) + "\")"};
        return std::nullopt;
    }
    long count = -1;  // none stated
    std::string reason;
    while (lines.next(line)) {
        if (!line.empty() && line[0] == '#') continue;
        if (count < 0 && table.rowCount() == 0 && line.substr(0, kRowsKey.size()) == kRowsKey) {
            if (!readRowCount(line, lines.number(), count, error)) return std::nullopt;
            continue;
        }
        // A last line without its line end, within the stated rows, may be where the file was cut
        // off: a row cut short could name another tool, so it is not trusted.
        if (!lines.terminated() && table.rowCount() < count) {
            if (repaired)
                *repaired = "the file ends in the middle of row " + std::to_string(table.rowCount() + 1) +
                            " (it may have been cut off); that row was left empty";
            break;
        }
        ToolRow row;
        std::string_view tarvo, selvix;
        if (!trimmedEnd(line).empty()) {
            if (!splitRow(line, tarvo, selvix)) {
                error = {lines.number(), "a row must hold two cells separated by one tab"};
                return std::nullopt;
            }
            if (!unescapeCell(tarvo, row.tarvo, reason) || !unescapeCell(selvix, row.selvix, reason)) {
                error = {lines.number(), reason};
                return std::nullopt;
            }
        }
        if (table.rowCount() >= kMaxRows) {
            error = {lines.number(), "more than " + std::to_string(kMaxRows) + " rows"};
            return std::nullopt;
        }
        table.appendRow(std::move(row));
    }
    // Blank lines at the end beyond the stated rows are the end of the file, not rows; the stated
    // count adds empty rows after the rows present.
    while (table.rowCount() > std::max(count, 0L) && table.rows().back() == ToolRow{})
        table.removeRow(table.rowCount());
    if (count > table.rowCount()) table.setRowCount(static_cast<int>(count));
    return table;
}

std::optional<ToolTable> loadToolTable(const std::filesystem::path& path, ToolTableFileError& error,
                                       std::string* repaired) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec) && !ec) return ToolTable{};
    std::string text;
    std::string readError;
    if (!readWholeFile(path, text, readError, "a tool table", kMaxToolTableBytes)) {
        error = {0, readError};
        return std::nullopt;
    }
    return parseToolTable(text, error, repaired);
}

bool saveToolTable(const std::filesystem::path& path, const ToolTable& table, std::string& error) {
    AtomicFile file(path);
    if (!file.open() || !file.write(formatToolTable(table)) || !file.commit()) {
        error = file.error();
        return false;
    }
    return true;
}

}  // namespace pathshift
