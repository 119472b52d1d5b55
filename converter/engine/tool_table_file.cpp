#include "engine/tool_table_file.h"

#include <charconv>
#include <system_error>

#include "engine/atomic_file.h"
#include "engine/text_source.h"

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

constexpr const char* kCutOff = "the file ends in the middle of a line; it may have been cut off";

// The next line that is not a comment.
bool nextContent(Lines& lines, std::string_view& line) {
    while (lines.next(line))
        if (line.empty() || line[0] != '#') return true;
    return false;
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

std::optional<ToolTable> parseToolTable(std::string_view text, ToolTableFileError& error) {
    Lines lines(text);
    std::string_view line;
    if (!lines.next(line) || line != kMagic) {
        error = {1, "not a Pathshift tool table (the first line must read \"" + std::string(kMagic) + "\")"};
        return std::nullopt;
    }
    if (!nextContent(lines, line) || line.substr(0, kRowsKey.size()) != kRowsKey) {
        error = {lines.number(), "the row count (\"rows N\") is missing"};
        return std::nullopt;
    }
    if (!lines.terminated()) {
        error = {lines.number(), kCutOff};
        return std::nullopt;
    }
    const std::string_view countText = line.substr(kRowsKey.size());
    long count = -1;
    auto [end, ec] = std::from_chars(countText.data(), countText.data() + countText.size(), count);
    if (ec != std::errc{} || end != countText.data() + countText.size() || count < 0 || count > kMaxRows) {
        error = {lines.number(), "the row count \"" + std::string(countText) + "\" is not a number from 0 to " +
                                     std::to_string(kMaxRows)};
        return std::nullopt;
    }
    ToolTable table;
    std::string reason;
    for (long r = 0; r < count; ++r) {
        if (!nextContent(lines, line)) {
            error = {lines.number(), "the file ends after " + std::to_string(r) + " of " + std::to_string(count) +
                                         " rows"};
            return std::nullopt;
        }
        if (!lines.terminated()) {
            error = {lines.number(), kCutOff};
            return std::nullopt;
        }
        const std::size_t tab = line.find('\t');
        if (tab == std::string_view::npos || line.find('\t', tab + 1) != std::string_view::npos) {
            error = {lines.number(), "a row must hold two cells separated by one tab"};
            return std::nullopt;
        }
        ToolRow row;
        if (!unescapeCell(line.substr(0, tab), row.tarvo, reason) ||
            !unescapeCell(line.substr(tab + 1), row.selvix, reason)) {
            error = {lines.number(), reason};
            return std::nullopt;
        }
        table.appendRow(std::move(row));
    }
    while (lines.next(line)) {
        if (!line.empty() && line[0] != '#') {
            error = {lines.number(), "more rows than the row count says"};
            return std::nullopt;
        }
    }
    return table;
}

std::optional<ToolTable> loadToolTable(const std::filesystem::path& path, ToolTableFileError& error) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec) && !ec) return ToolTable{};
    std::string text;
    std::string readError;
    if (!readWholeFile(path, text, readError, "a tool table", kMaxToolTableBytes)) {
        error = {0, readError};
        return std::nullopt;
    }
    return parseToolTable(text, error);
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
