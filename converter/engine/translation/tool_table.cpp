#include "engine/translation/tool_table.h"

#include <algorithm>
#include <cstdlib>

#include "engine/reading/number_text.h"

namespace pathshift {
namespace {
const std::string kNoText;

// Whether the lenient reading finds a digit, rather than giving 0 for want of one.
bool holdsNumber(const std::string& text) {
    for (char c : text) {
        if (c >= '0' && c <= '9') return true;
        if (c != ' ' && c != '\t' && c != '+' && c != '-' && c != '.') return false;
    }
    return false;
}
}  // namespace

const std::string& ToolTable::GetCell(int row, int column) const {
    if (row < 1 || row > rowCount()) return kNoText;
    const ToolRow& r = rows_[static_cast<std::size_t>(row - 1)];
    if (column == 1) return r.tarvo;
    if (column == 2) return r.selvix;
    return kNoText;
}

void ToolTable::setCell(int row, int column, std::string text) {
    if (row < 1 || column < 1 || column > 2) return;
    if (row > rowCount()) setRowCount(row);
    ToolRow& r = rows_[static_cast<std::size_t>(row - 1)];
    (column == 1 ? r.tarvo : r.selvix) = std::move(text);
}

void ToolTable::setRowCount(int rows) { rows_.resize(static_cast<std::size_t>(std::max(rows, 0))); }

void ToolTable::insertRow(int before, ToolRow row) {
    before = std::clamp(before, 1, rowCount() + 1);
    rows_.insert(rows_.begin() + (before - 1), std::move(row));
}

void ToolTable::removeRow(int row) {
    if (row < 1 || row > rowCount()) return;
    rows_.erase(rows_.begin() + (row - 1));
}

ToolLookup::ToolLookup(const ToolTable& table) : table_(table) {
    rows_.reserve(table.rows().size());
    for (const ToolRow& row : table.rows()) {
        NumberRead tarvo = readLeadingNumber(row.tarvo);
        NumberRead selvix = readLeadingNumber(row.selvix);
        rows_.push_back({tarvo.value, tarvo.overflow, selvix.value, selvix.overflow, holdsNumber(row.selvix)});
    }
}

std::optional<ToolTranslation> ToolLookup::translate(std::int16_t tool, ToolTableError& error) const {
    const int lastDigit = std::abs(tool % 10);
    ToolTranslation result;
    if (lastDigit == 0) return result;  // a tool number ending in 0 (or no tool) calls tool 0
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const Row& row = rows_[i];
        const int rowNumber = static_cast<int>(i) + 1;
        if (row.tarvoOverflow) {
            error = {rowNumber, "the Tarvo cell \"" + table_.GetCell(rowNumber, 1) + "\" is out of range"};
            return std::nullopt;
        }
        if (row.tarvo != tool) continue;
        std::optional<std::int16_t> target;
        if (!row.selvixOverflow) target = roundToInt16(row.selvix);
        if (!target) {
            error = {rowNumber, "the Selvix cell \"" + table_.GetCell(rowNumber, 2) +
                                    "\" is not a tool number (-32768 to 32767)"};
            return std::nullopt;
        }
        return ToolTranslation{*target, ToolTranslation::Source::Table, rowNumber, !row.selvixNumber};
    }
    return ToolTranslation{static_cast<std::int16_t>(lastDigit), ToolTranslation::Source::LastDigit, 0};
}

}  // namespace pathshift
