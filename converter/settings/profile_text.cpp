#include "settings/profile_text.h"

#include <vector>

namespace pathshift::profile {
namespace {

constexpr std::string_view kCrLf = "\r\n";
constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

bool sameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

std::vector<std::string_view> splitLines(std::string_view text) {
    if (text.substr(0, kUtf8Mark.size()) == kUtf8Mark) text.remove_prefix(kUtf8Mark.size());
    std::vector<std::string_view> lines;
    std::size_t pos = 0;
    while (pos < text.size()) {
        std::size_t end = text.find('\n', pos);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        pos = end + 1;
    }
    return lines;
}

// The name of a "[Section]" line, or empty when the line is not one.
std::optional<std::string_view> sectionName(std::string_view line) {
    line = trimBlanks(line);
    if (line.empty() || line.front() != '[') return std::nullopt;
    const std::size_t close = line.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    return trimBlanks(line.substr(1, close - 1));
}

struct Entry {
    std::string_view key;
    std::string_view value;
};

std::optional<Entry> entryOf(std::string_view line) {
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    return Entry{trimBlanks(line.substr(0, equals)), trimBlanks(line.substr(equals + 1))};
}

std::string_view withoutQuotes(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') && value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

}  // namespace

std::string_view trimBlanks(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
    return text;
}

std::optional<std::string> findValue(std::string_view text, std::string_view section, std::string_view key) {
    section = trimBlanks(section);
    key = trimBlanks(key);
    bool inSection = false;
    bool sectionSeen = false;
    for (std::string_view line : splitLines(text)) {
        if (std::optional<std::string_view> name = sectionName(line)) {
            if (sectionSeen) return std::nullopt;  // only the first section of that name counts
            inSection = sameName(*name, section);
            sectionSeen = inSection;
            continue;
        }
        if (!inSection) continue;
        std::optional<Entry> entry = entryOf(line);
        if (entry && sameName(entry->key, key)) return std::string(withoutQuotes(entry->value));
    }
    return std::nullopt;
}

std::string storeValue(std::string_view text, std::string_view section, std::string_view key,
                       std::string_view value) {
    section = trimBlanks(section);
    key = trimBlanks(key);
    const std::string newLine = std::string(key) + "=" + std::string(value);
    std::vector<std::string_view> lines = splitLines(text);

    std::optional<std::size_t> replaceAt;
    std::optional<std::size_t> insertAfter;  // the section's last entry or its header
    bool inSection = false;
    bool sectionSeen = false;
    for (std::size_t i = 0; i < lines.size() && !replaceAt; ++i) {
        if (std::optional<std::string_view> name = sectionName(lines[i])) {
            if (sectionSeen) break;
            inSection = sameName(*name, section);
            sectionSeen = inSection;
            if (inSection) insertAfter = i;
            continue;
        }
        if (!inSection) continue;
        if (std::optional<Entry> entry = entryOf(lines[i])) {
            if (sameName(entry->key, key)) replaceAt = i;
            insertAfter = i;
        } else if (!trimBlanks(lines[i]).empty()) {
            insertAfter = i;
        }
    }

    std::string out;
    out.reserve(text.size() + newLine.size() + section.size() + 8);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        out += replaceAt == i ? std::string_view(newLine) : lines[i];
        out += kCrLf;
        if (!replaceAt && insertAfter == i) {
            out += newLine;
            out += kCrLf;
        }
    }
    if (!replaceAt && !insertAfter) {
        out += "[";
        out += section;
        out += "]";
        out += kCrLf;
        out += newLine;
        out += kCrLf;
    }
    return out;
}

}  // namespace pathshift::profile
