#pragma once
// The tool translation table: rows of two cell texts, Tarvo tool number then Selvix tool number.
// Cells hold text exactly as typed; they are read as numbers only when a tool is translated.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace pathshift {

struct ToolRow {
    std::string tarvo;   // column 1
    std::string selvix;  // column 2
    bool operator==(const ToolRow&) const = default;
};

class ToolTable {
public:
    ToolTable() = default;
    explicit ToolTable(std::vector<ToolRow> rows) : rows_(std::move(rows)) {}

    int rowCount() const { return static_cast<int>(rows_.size()); }
    // The text of one cell; rows are numbered from 1, columns 1 and 2. Empty outside the table.
    const std::string& GetCell(int row, int column) const;
    void setCell(int row, int column, std::string text);
    void setRowCount(int rows);
    void insertRow(int before, ToolRow row = {});
    void removeRow(int row);
    void appendRow(ToolRow row) { rows_.push_back(std::move(row)); }

    const std::vector<ToolRow>& rows() const { return rows_; }
    bool operator==(const ToolTable&) const = default;

private:
    std::vector<ToolRow> rows_;
};

// How a tool number was translated.
struct ToolTranslation {
    enum class Source : std::uint8_t { Table, LastDigit, None };
    std::int16_t tool = 0;
    Source source = Source::None;
    int row = 0;  // the matching row for Source::Table
    bool cellNotANumber = false;  // the matching row's Selvix cell holds no number, so tool 0
};

struct ToolTableError {
    int row = 0;
    std::string reason;
};

// The table's cells read as numbers once, for the many lookups of one conversion.
class ToolLookup {
public:
    explicit ToolLookup(const ToolTable& table);

    // The target tool for a source tool number: none when its decimal text ends in 0; otherwise the
    // first row whose column 1 reads as the number gives column 2 rounded half to even, and without
    // a matching row the last digit. Empty (with error set) when a cell read on the way overflows.
    std::optional<ToolTranslation> translate(std::int16_t tool, ToolTableError& error) const;
    const std::string& cell(int row, int column) const { return table_.GetCell(row, column); }

private:
    struct Row {
        double tarvo;
        bool tarvoOverflow;
        double selvix;
        bool selvixOverflow;
        bool selvixNumber;  // the cell holds a number at all (an empty cell or a word reads as 0)
    };
    const ToolTable& table_;
    std::vector<Row> rows_;
};

}  // namespace pathshift
