#include "engine/plan/move_lines.h"

#include <cstdio>

namespace pathshift {
namespace {

// The length of the UTF-8 sequence at the start of `bytes` and its code point; 0 when it is not a
// valid, shortest-form sequence of a Unicode scalar value.
std::size_t utf8Sequence(std::string_view bytes, char32_t& code) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(0);
    std::size_t length = 0;
    char32_t least = 0;
    if (lead < 0x80) {
        code = lead;
        return 1;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2, code = lead & 0x1F, least = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3, code = lead & 0x0F, least = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4, code = lead & 0x07, least = 0x10000;
    } else {
        return 0;
    }
    if (bytes.size() < length) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) return 0;
        code = (code << 6) | (byte(i) & 0x3F);
    }
    if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return 0;
    return length;
}

// Characters that are invisible or change how the text around them is shown.
bool hidden(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == 0x061C || c == 0x200B || c == 0x200E || c == 0x200F ||
           (c >= 0x2028 && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069) || c == 0xFEFF;
}

}  // namespace

std::string shownLine(std::string_view bytes) {
    std::string shown;
    const bool cut = bytes.size() > kShownLineBytes;
    if (cut) bytes = bytes.substr(0, kShownLineBytes);
    char escape[16];
    while (!bytes.empty()) {
        char32_t code = 0;
        const std::size_t length = utf8Sequence(bytes, code);
        if (length == 0) {
            std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned char>(bytes[0]));
            shown += escape;
            bytes.remove_prefix(1);
            continue;
        }
        if (hidden(code)) {
            if (code < 0x100)
                std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned>(code));
            else
                std::snprintf(escape, sizeof escape, "\\u{%04X}", static_cast<unsigned>(code));
            shown += escape;
        } else {
            shown.append(bytes.substr(0, length));
        }
        bytes.remove_prefix(length);
    }
    if (cut) shown += "\u2026";
    return shown;
}

std::string MoveLineTexts::text(TextSource& text, const LineIndex& lines, std::size_t number) {
    if (number == 0) return {};
    std::string bytes, error;
    if (lines.line(text, number, kShownLineBytes + 1, bytes, error)) return shownLine(bytes);
    if (error == kSourceChanged) return "its text is no longer available (the file has changed)";
    return "its text cannot be read (" + error + ")";
}

std::string MoveLineTexts::describe(std::string_view side, const std::string& text, std::size_t number) {
    if (number == 0) return "no " + std::string(side) + " line";
    return std::string(side) + " line " + std::to_string(number) + ": " + text;
}

}  // namespace pathshift
