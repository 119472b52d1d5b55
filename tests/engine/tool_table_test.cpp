// The tool translation table: the lookup of a tool number, and the ToolTbl.Dat file.

#include "engine/translation/tool_table.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "engine/translation/tool_table_file.h"

namespace pathshift {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;

ToolTable tableOf(std::vector<ToolRow> rows) { return ToolTable(std::move(rows)); }

// Every cell of a table, for comparisons and messages.
std::vector<std::pair<std::string, std::string>> cellsOf(const ToolTable& table) {
    std::vector<std::pair<std::string, std::string>> cells;
    for (int row = 1; row <= table.rowCount(); ++row) cells.emplace_back(table.GetCell(row, 1), table.GetCell(row, 2));
    return cells;
}

struct Looked {
    bool ok = false;
    std::int16_t tool = 0;
    ToolTranslation::Source source = ToolTranslation::Source::None;
    int row = 0;
    std::string error;
};

Looked lookUp(const ToolTable& table, std::int16_t tool) {
    ToolLookup lookup(table);
    ToolTableError error;
    std::optional<ToolTranslation> t = lookup.translate(tool, error);
    if (!t) return {false, 0, ToolTranslation::Source::None, error.row, error.reason};
    return {true, t->tool, t->source, t->row, {}};
}

// ---------------------------------------------------------------------------------------------
// Lookup

TEST(ToolLookup, WithoutRowsEveryToolIsItsLastDigit) {
    const ToolTable empty;
    for (auto [tool, expected] : {std::pair{1005, 5}, {2012, 2}, {1001, 1}, {2019, 9}, {7, 7}}) {
        const Looked t = lookUp(empty, static_cast<std::int16_t>(tool));
        ASSERT_TRUE(t.ok) << t.error;
        EXPECT_EQ(t.tool, expected) << tool;
        EXPECT_EQ(t.source, ToolTranslation::Source::LastDigit) << tool;
    }
}

TEST(ToolLookup, AToolEndingInZeroIsToolZeroWithoutTheTable) {
    const ToolTable table = tableOf({{"2010", "7"}, {"0", "9"}, {"1000", "4"}});
    for (int tool : {2010, 0, 1000, 1010}) {
        const Looked t = lookUp(table, static_cast<std::int16_t>(tool));
        ASSERT_TRUE(t.ok) << t.error;
        EXPECT_EQ(t.tool, 0) << tool;
        EXPECT_NE(t.source, ToolTranslation::Source::Table) << tool;
    }
    // Not even a damaged cell is read for it.
    const Looked t = lookUp(tableOf({{"1e400", "1"}, {"2010", "1e400"}}), 2010);
    EXPECT_TRUE(t.ok) << t.error;
    EXPECT_EQ(t.tool, 0);
}

TEST(ToolLookup, TheFirstMatchingRowWins) {
    const Looked t = lookUp(tableOf({{"1004", "1"}, {"1005", "3"}, {"1005", "8"}}), 1005);
    ASSERT_TRUE(t.ok) << t.error;
    EXPECT_EQ(t.tool, 3);
    EXPECT_EQ(t.source, ToolTranslation::Source::Table);
    EXPECT_EQ(t.row, 2);
}

TEST(ToolLookup, SourceCellsAreReadByTheLeadingNumberRule) {
    for (const char* cell : {"1005", " 1005", "\t1005", "1 005", "1005 ", "1005x", "1005.0", "+1005", "10.05e2",
                             "1.005D3", "1005.", "01005", "1005(A)", "1005.0.7"}) {
        const Looked t = lookUp(tableOf({{cell, "3"}}), 1005);
        ASSERT_TRUE(t.ok) << t.error;
        EXPECT_EQ(t.tool, 3) << "cell \"" << cell << "\"";
        EXPECT_EQ(t.source, ToolTranslation::Source::Table) << "cell \"" << cell << "\"";
    }
    for (const char* cell : {"", "x1005", "1,005", "1005.4", "-1005", "&H3ED", "1004.9999", "T1005", "1e3"}) {
        const Looked t = lookUp(tableOf({{cell, "3"}}), 1005);
        ASSERT_TRUE(t.ok) << t.error;
        EXPECT_EQ(t.tool, 5) << "cell \"" << cell << "\" must not match";
        EXPECT_EQ(t.source, ToolTranslation::Source::LastDigit) << "cell \"" << cell << "\"";
    }
}

TEST(ToolLookup, TargetCellsAreRoundedHalfToEven) {
    struct Case {
        const char* cell;
        int tool;
    };
    for (const Case& c : {Case{"3", 3}, Case{"12.5", 12}, Case{"13.5", 14}, Case{"7x", 7}, Case{"", 0},
                          Case{"abc", 0}, Case{" 7 ", 7}, Case{"2.4999", 2}, Case{"2.5001", 3}, Case{"-3", -3},
                          Case{"-2.5", -2}, Case{"1e1", 10}, Case{"32767", 32767}, Case{"-32768", -32768},
                          Case{"32767.5e0", -1}, Case{"0.5", 0}, Case{"1.5", 2}}) {
        const Looked t = lookUp(tableOf({{"1005", c.cell}}), 1005);
        if (c.tool == -1) {
            EXPECT_FALSE(t.ok) << "cell \"" << c.cell << "\" gave " << t.tool;
            continue;
        }
        ASSERT_TRUE(t.ok) << "cell \"" << c.cell << "\": " << t.error;
        EXPECT_EQ(t.tool, c.tool) << "cell \"" << c.cell << "\"";
        EXPECT_EQ(t.source, ToolTranslation::Source::Table);
    }
}

TEST(ToolLookup, ATargetOutsideTheToolRangeIsAnErrorNamingItsRow) {
    for (const char* cell : {"40000", "-32769", "1e400", "99999999999999999999"}) {
        const Looked t = lookUp(tableOf({{"1004", "1"}, {"1005", cell}}), 1005);
        EXPECT_FALSE(t.ok) << "cell \"" << cell << "\" gave " << t.tool;
        EXPECT_EQ(t.row, 2) << cell;
        EXPECT_FALSE(t.error.empty()) << cell;
    }
}

TEST(ToolLookup, RowsAfterTheMatchAndTargetsOfOtherRowsAreNotRead) {
    const Looked t = lookUp(tableOf({{"1006", "99999"}, {"1005", "3"}, {"1005", "1e400"}}), 1005);
    ASSERT_TRUE(t.ok) << t.error;
    EXPECT_EQ(t.tool, 3);
}

TEST(ToolLookup, SeesEditsMadeToTheTable) {
    ToolTable table;
    table.setRowCount(2);
    table.setCell(2, 1, "1005");
    table.setCell(2, 2, "6");
    EXPECT_EQ(table.rowCount(), 2);
    EXPECT_EQ(table.GetCell(1, 1), "");
    EXPECT_EQ(lookUp(table, 1005).tool, 6);
    table.insertRow(1, {"1005", "9"});
    EXPECT_EQ(lookUp(table, 1005).tool, 9);
    table.removeRow(1);
    EXPECT_EQ(lookUp(table, 1005).tool, 6);
    table.setRowCount(1);
    EXPECT_EQ(lookUp(table, 1005).tool, 5);
    EXPECT_EQ(table.GetCell(5, 1), "");
    EXPECT_EQ(table.GetCell(1, 3), "");
}

// ---------------------------------------------------------------------------------------------
// The file

ToolTable awkwardTable() {
    return tableOf({
        {"1005", "3"},
        {" 1006", "12 "},
        {"", ""},
        {"\t1007\t", "a\tb"},
        {"line\nbreak", "cr\rlf\r\n"},
        {"back\\slash\\", "\\s\\t\\n"},
        {"#1008", "#9"},
        {"##", "#"},
        {"\x01\x1f\x7f", "\0\x02"s},
        {"\xC3\xA9\xFF", "\x80"},
        {"rows 3", "Pathshift tool table 1"},
        {"=", "1001=-3"},
        {"", ""},
        {"", ""},
    });
}

TEST(ToolTableFile, KeepsEveryCellAndTheRowCount) {
    for (const ToolTable& table : {ToolTable{}, tableOf({{"", ""}}), tableOf({{"1005", "3"}}), awkwardTable()}) {
        const std::string text = formatToolTable(table);
        ToolTableFileError error;
        std::optional<ToolTable> back = parseToolTable(text, error);
        ASSERT_TRUE(back.has_value()) << "line " << error.line << ": " << error.reason << "\n" << text;
        EXPECT_EQ(back->rowCount(), table.rowCount());
        EXPECT_EQ(cellsOf(*back), cellsOf(table)) << text;
    }
}

TEST(ToolTableFile, AFileIsOneLinePerRowAPersonCanRead) {
    const std::string text = formatToolTable(tableOf({{"1005", "3"}, {"1006", "12"}}));
    EXPECT_EQ(text.rfind("Pathshift tool table 1", 0), 0u) << text;
    EXPECT_NE(text.find("\n1005\t3\r\n1006\t12\r\n"), std::string::npos) << text;
    // Line breaks inside cells are escaped: every row stays one line.
    auto lineCount = [](const std::string& t) { return std::count(t.begin(), t.end(), '\n'); };
    EXPECT_EQ(lineCount(formatToolTable(awkwardTable())),
              lineCount(formatToolTable(ToolTable{})) + awkwardTable().rowCount());
}

TEST(ToolTableFile, ReadsAHandWrittenTable) {
    const std::string text =
        "Pathshift tool table 1\n"
        "# tools of the new router\n"
        "rows 4\r\n"
        "1005\t3\n"
        "# a comment between rows\n"
        "\\s1006\t12\\s\n"
        "\t\n"
        "\\x23x\t\\\\\n"
        "\n";
    ToolTableFileError error;
    std::optional<ToolTable> table = parseToolTable(text, error);
    ASSERT_TRUE(table.has_value()) << "line " << error.line << ": " << error.reason;
    EXPECT_EQ(cellsOf(*table), cellsOf(tableOf({{"1005", "3"}, {" 1006", "12 "}, {"", ""}, {"#x", "\\"}})));
}

struct Damaged {
    const char* what;
    std::string text;
    int line;  // the line the error names; 0 when any
};

TEST(ToolTableFile, DamagedFilesAreReportedWithTheirLine) {
    const std::string head = "Pathshift tool table 1\nrows 2\n";
    for (const Damaged& d : {
             Damaged{"wrong magic", "Pathshift tool table 2\nrows 0\n", 1},
             Damaged{"another file", "G71\nE0=1   ;ORGIN\n", 1},
             Damaged{"row count not a number", "Pathshift tool table 1\nrows x\n", 2},
             Damaged{"negative row count", "Pathshift tool table 1\nrows -1\n", 2},
             Damaged{"huge row count", "Pathshift tool table 1\nrows 99999999999999999999\n", 2},
             Damaged{"row count with trailing text", "Pathshift tool table 1\nrows 2x\n1\t2\n3\t4\n", 2},
             Damaged{"row of three words", head + "1005\t3\n1006 4 5\n", 4},
             Damaged{"row of one word", head + "1005\t3\n1006\n", 4},
             Damaged{"row with two tabs", head + "1005\t3\t\n1006\t4\n", 3},
             Damaged{"unknown escape", head + "10\\q05\t3\n1006\t4\n", 3},
             Damaged{"short hex escape", head + "1005\t3\\x4\n1006\t4\n", 3},
             Damaged{"bad hex escape", head + "1005\t3\n1006\t\\xZZ\n", 4},
             Damaged{"lone backslash", head + "1005\t3\n1006\t4\\\n", 4},
         }) {
        ToolTableFileError error;
        std::optional<ToolTable> table = parseToolTable(d.text, error);
        EXPECT_FALSE(table.has_value()) << d.what;
        EXPECT_FALSE(error.reason.empty()) << d.what;
        if (d.line != 0) {
            EXPECT_EQ(error.line, d.line) << d.what << ": " << error.reason;
        }
    }
}

struct HandEdit {
    const char* what;
    std::string text;
    std::vector<ToolRow> rows;
};

TEST(ToolTableFile, HandEditsReadAsTheirEditorMeantThem) {
    const std::string head = "Pathshift tool table 1\r\nrows 2\r\n";
    for (const HandEdit& e : {
             HandEdit{"row added without the count", head + "1005\t3\r\n1006\t4\r\n1007\t5\r\n",
                      {{"1005", "3"}, {"1006", "4"}, {"1007", "5"}}},
             HandEdit{"rows removed without the count", head + "1005\t3\n", {{"1005", "3"}, {}}},
             HandEdit{"blanks for the tab", head + "1005   3\n1006 4  \n", {{"1005", "3"}, {"1006", "4"}}},
             HandEdit{"blank line between rows", head + "1005\t3\n\n1006\t4\n", {{"1005", "3"}, {}, {"1006", "4"}}},
             HandEdit{"byte-order mark", "\xEF\xBB\xBF" + head + "1005\t3\n1006\t4\n", {{"1005", "3"}, {"1006", "4"}}},
             HandEdit{"LF only, no row count", "Pathshift tool table 1\n1005\t3\n", {{"1005", "3"}}},
             HandEdit{"no line end after an added row", head + "1005\t3\n1006\t4\n1007\t5",
                      {{"1005", "3"}, {"1006", "4"}, {"1007", "5"}}},
             HandEdit{"blank lines at the end", head + "1005\t3\n\n\n\n\n", {{"1005", "3"}, {}}},
             HandEdit{"empty file", "", {}},
             HandEdit{"emptied file", "\r\n\n", {}},
         }) {
        ToolTableFileError error;
        std::string repaired;
        std::optional<ToolTable> table = parseToolTable(e.text, error, &repaired);
        ASSERT_TRUE(table.has_value()) << e.what << ": line " << error.line << ": " << error.reason;
        EXPECT_EQ(cellsOf(*table), cellsOf(tableOf(e.rows))) << e.what;
        EXPECT_EQ(repaired, "") << e.what;
    }
}

TEST(ToolTableFile, ACutOffFileKeepsItsWholeRowsAndSaysSo) {
    ToolTable table = awkwardTable();
    table.appendRow({"1009", "19"});
    const std::string text = formatToolTable(table);
    const std::size_t rowsStart = text.find("\r\n", text.find("rows ")) + 2;
    for (std::size_t length = 0; length < text.size(); ++length) {
        ToolTableFileError error;
        std::string repaired;
        std::optional<ToolTable> cut = parseToolTable(std::string_view(text).substr(0, length), error, &repaired);
        if (length < rowsStart) continue;  // cut inside the heading: read or refused, never a crash
        ASSERT_TRUE(cut.has_value()) << "cut after " << length << ": " << error.reason;
        ASSERT_EQ(cut->rowCount(), table.rowCount()) << "cut after " << length;
        int kept = 0;
        while (kept < table.rowCount() && cut->rows()[kept] == table.rows()[kept]) ++kept;
        for (int r = kept; r < table.rowCount(); ++r) EXPECT_EQ(cut->rows()[r], ToolRow{}) << "cut after " << length;
        const bool midRow = text[length - 1] != '\n' && text[length - 1] != '\r';
        EXPECT_EQ(!repaired.empty(), midRow) << "cut after " << length << ": " << repaired;
    }
}

TEST(ToolTableFile, ArbitraryBytesNeverCrashTheReader) {
    std::mt19937 random(11);
    std::uniform_int_distribution<int> byte(0, 255);
    const std::string valid = formatToolTable(awkwardTable());
    for (int round = 0; round < 2000; ++round) {
        std::string text = valid;
        const int flips = 1 + round % 8;
        for (int i = 0; i < flips; ++i)
            text[static_cast<std::size_t>(random()) % text.size()] = static_cast<char>(byte(random));
        ToolTableFileError error;
        std::optional<ToolTable> table = parseToolTable(text, error);
        if (!table) {
            EXPECT_FALSE(error.reason.empty());
        }
    }
}

class ToolTableFolder : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "tooltable-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        folder = pattern;
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(folder, ec);
    }
    std::vector<std::string> entries() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(folder)) names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    fs::path folder;
};

TEST_F(ToolTableFolder, SavedTablesLoadBackExactly) {
    const fs::path file = folder / kToolTableFileName;
    std::string error;
    ASSERT_TRUE(saveToolTable(file, awkwardTable(), error)) << error;
    ToolTableFileError loadError;
    std::optional<ToolTable> back = loadToolTable(file, loadError);
    ASSERT_TRUE(back.has_value()) << loadError.reason;
    EXPECT_EQ(cellsOf(*back), cellsOf(awkwardTable()));

    // Saving again replaces the whole file and leaves nothing else behind.
    ASSERT_TRUE(saveToolTable(file, tableOf({{"1", "2"}}), error)) << error;
    back = loadToolTable(file, loadError);
    ASSERT_TRUE(back.has_value()) << loadError.reason;
    EXPECT_EQ(cellsOf(*back), cellsOf(tableOf({{"1", "2"}})));
    EXPECT_EQ(entries(), std::vector<std::string>{"ToolTbl.Dat"});
}

TEST_F(ToolTableFolder, AMissingFileIsAnEmptyTable) {
    ToolTableFileError error;
    std::optional<ToolTable> table = loadToolTable(folder / kToolTableFileName, error);
    ASSERT_TRUE(table.has_value()) << error.reason;
    EXPECT_EQ(table->rowCount(), 0);
}

TEST_F(ToolTableFolder, ADamagedOrUnreadableFileIsAnError) {
    {
        std::ofstream(folder / "bad.dat", std::ios::binary) << "Pathshift tool table 1\nrows 3\n1005 3 4\n";
    }
    ToolTableFileError error;
    EXPECT_FALSE(loadToolTable(folder / "bad.dat", error).has_value());
    EXPECT_FALSE(error.reason.empty());

    fs::create_directory(folder / "ToolTbl.Dat");
    error = {};
    EXPECT_FALSE(loadToolTable(folder / "ToolTbl.Dat", error).has_value());
    EXPECT_FALSE(error.reason.empty());
}

TEST_F(ToolTableFolder, SavingIntoAMissingFolderFailsAndCreatesNothing) {
    std::string error;
    EXPECT_FALSE(saveToolTable(folder / "missing" / kToolTableFileName, awkwardTable(), error));
    EXPECT_FALSE(error.empty());
    EXPECT_TRUE(entries().empty());
}

}  // namespace
}  // namespace pathshift
