#include "engine/io/quoted_name.h"

#include <algorithm>

namespace pathshift {
namespace {

bool isControl(char c) { return static_cast<unsigned char>(c) < 0x20 || c == 0x7f; }

void appendEscaped(char c, std::string& out) {
    switch (c) {
        case '\a': out += "\\a"; return;
        case '\b': out += "\\b"; return;
        case '\t': out += "\\t"; return;
        case '\n': out += "\\n"; return;
        case '\v': out += "\\v"; return;
        case '\f': out += "\\f"; return;
        case '\r': out += "\\r"; return;
        default: {
            const unsigned value = static_cast<unsigned char>(c);
            out += '\\';
            out += static_cast<char>('0' + (value >> 6));
            out += static_cast<char>('0' + ((value >> 3) & 7));
            out += static_cast<char>('0' + (value & 7));
        }
    }
}

}  // namespace

std::string quotedName(std::string_view name) {
    if (std::none_of(name.begin(), name.end(), isControl)) return std::string(name);
    std::string out;
    std::size_t i = 0;
    while (i < name.size()) {
        const bool control = isControl(name[i]);
        out += control ? "$'" : "'";
        for (; i < name.size() && isControl(name[i]) == control; ++i) {
            if (control)
                appendEscaped(name[i], out);
            else if (name[i] == '\'')
                out += "'\\''";
            else
                out += name[i];
        }
        out += '\'';
    }
    return out;
}

}  // namespace pathshift
