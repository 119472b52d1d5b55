// The verifier: converted programs verify clean, and faults injected into them are each reported
// with the source's and the target's line.

#include "engine/toolpath/verifier.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <random>
#include <sstream>
#include <string>
#include <vector>

#include "engine/io/text_source.h"
#include "engine/translation/tool_table_file.h"
#include "support/piece_source.h"

namespace pathshift {
namespace {

ConversionOptions options(std::string thickness = "0.75", Head head = Head::One) {
    ConversionOptions o;
    o.thickness = std::move(thickness);
    o.head = head;
    o.tools.appendRow({"1005", "3"});
    o.tools.appendRow({"2012", "8"});
    return o;
}

// An inch program: a slot, a clockwise and a counter-clockwise arc, a second segment with a new
// tool and depth, and comments between blocks.
constexpr std::string_view kInch =
    "%\nO1 (TEST)\nN10G20G40\nN20T1005S18000\nN30G0X1Y1\nN40Z0.2\nN50G1Z-0.5F100\nN60X3\n"
    "N70G2X4Y2I0J1\nN80G3X5Y3I1J0\nN90G1Y4\nN100G0Z0.5\n(SECOND TOOL)\nN110T1007\nN120G0X6Y6\n"
    "N130G1Z-0.25F60\nN140X7.125\nN150G2X7.125Y6I0J-0.5\nN160G0Z1\n";
// The same in millimetres with head 2.
constexpr std::string_view kMillimetre =
    "N10G21\nN20T2012\nN30G0X10Y10\nN40G1Z-6F3000\nN50G3X30Y10I10J0\nN60G2X50Y10I10J0\nN70G1X60\n"
    "N80G0Z20\n";

std::string convert(std::string_view source, const ConversionOptions& o) {
    ConversionResult result = convertProgram(source, o);
    EXPECT_TRUE(result.converted) << result.error.reason;
    return result.text;
}

VerifyReport verify(std::string_view source, std::string_view target, const ConversionOptions& o) {
    VerifyReport report;
    ReplayError error;
    EXPECT_TRUE(verifyConversion(source, target, o, report, error)) << error.reason;
    return report;
}

std::vector<std::string> lines(const std::string& text) {
    std::vector<std::string> result;
    std::string line;
    std::istringstream in(text);
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        result.push_back(line);
    }
    return result;
}

std::string joined(const std::vector<std::string>& all) {
    std::string text;
    for (const std::string& line : all) text += line + "\r\n";
    return text;
}

// The target line number (from 1) of the first line that equals `line`.
std::size_t lineOf(const std::vector<std::string>& all, std::string_view line) {
    for (std::size_t k = 0; k < all.size(); ++k)
        if (all[k] == line) return k + 1;
    ADD_FAILURE() << "no line " << line;
    return 0;
}

// "N" and a number, built by appending (GCC 12 warns wrongly about "N" + std::to_string(n)).
std::string blockNumber(int n) {
    std::string text("N");
    text.append(std::to_string(n));
    return text;
}

std::string describe(const VerifyReport& report) {
    std::string text;
    for (const VerifyDifference& d : report.differences)
        text += std::to_string(d.sourceLine) + "/" + std::to_string(d.targetLine) + ": " + d.text + "\n";
    return text;
}

TEST(verifier, inch_program_with_arcs_both_ways_verifies_clean) {
    const ConversionOptions o = options();
    const VerifyReport report = verify(kInch, convert(kInch, o), o);
    EXPECT_TRUE(report.same()) << describe(report);
    EXPECT_EQ(report.movesChecked, 8u);
}

TEST(verifier, millimetre_program_with_head_two_verifies_clean) {
    const ConversionOptions o = options("18", Head::Two);
    const VerifyReport report = verify(kMillimetre, convert(kMillimetre, o), o);
    EXPECT_TRUE(report.same()) << describe(report);
    EXPECT_EQ(report.movesChecked, 4u);
}

TEST(verifier, a_dropped_line_is_reported_with_both_lines) {
    const ConversionOptions o = options();
    std::vector<std::string> target = lines(convert(kInch, o));
    const std::size_t dropped = lineOf(target, "G1X-3");
    target.erase(target.begin() + static_cast<long>(dropped - 1));
    const VerifyReport report = verify(kInch, joined(target), o);
    ASSERT_EQ(report.differenceCount, 1u) << describe(report);
    EXPECT_EQ(report.differences[0].sourceLine, 8u);          // N60X3
    EXPECT_EQ(report.differences[0].targetLine, dropped);     // the line that now stands there
    EXPECT_NE(report.differences[0].text.find("no counterpart in the target"), std::string::npos);
}

TEST(verifier, an_inserted_line_is_reported_as_the_targets_own) {
    const ConversionOptions o = options();
    std::vector<std::string> target = lines(convert(kInch, o));
    const std::size_t at = lineOf(target, "G1X-3");
    target.insert(target.begin() + static_cast<long>(at), "G1X-9");
    const VerifyReport report = verify(kInch, joined(target), o);
    ASSERT_GE(report.differenceCount, 1u);
    EXPECT_EQ(report.differences[0].targetLine, at + 1) << describe(report);
    EXPECT_NE(report.differences[0].text.find("no counterpart in the source"), std::string::npos);
}

TEST(verifier, a_flipped_sign_is_reported_with_both_lines) {
    const ConversionOptions o = options();
    std::vector<std::string> target = lines(convert(kInch, o));
    const std::size_t flipped = lineOf(target, "G1X-3");
    target[flipped - 1] = "G1X3";
    const VerifyReport report = verify(kInch, joined(target), o);
    ASSERT_GE(report.differenceCount, 1u) << describe(report);
    EXPECT_EQ(report.differences[0].sourceLine, 8u);
    EXPECT_EQ(report.differences[0].targetLine, flipped);
    EXPECT_NE(report.differences[0].text.find("end X 3 in the source, -3 in the target"), std::string::npos)
        << report.differences[0].text;
}

TEST(verifier, a_wrong_depth_is_reported_for_every_cut_of_its_segment) {
    const ConversionOptions o = options();
    std::vector<std::string> target = lines(convert(kInch, o));
    // The second segment: depth -0.25 - 0.75 = -1.
    const std::size_t call = lineOf(target, "G306T7h7S18000D0Z-1");
    target[call - 1] = "G306T7h7S18000D0Z-1.1";
    const VerifyReport report = verify(kInch, joined(target), o);
    ASSERT_EQ(report.differenceCount, 3u) << describe(report);
    EXPECT_EQ(report.differences[0].sourceLine, 16u);  // N130, the first cut after the call
    EXPECT_GT(report.differences[0].targetLine, call);
    EXPECT_NE(report.differences[0].text.find("depth -1 in the source, -1.1 in the target"), std::string::npos)
        << report.differences[0].text;
    EXPECT_NE(report.differences[0].text.find("end Z"), std::string::npos);
}

TEST(verifier, a_wrong_z_on_one_line_is_reported) {
    const ConversionOptions o = options();
    std::vector<std::string> target = lines(convert(kInch, o));
    const std::size_t cut = lineOf(target, "G1Z0F100");
    target[cut - 1] = "G1Z0.001F100";
    const VerifyReport report = verify(kInch, joined(target), o);
    ASSERT_GE(report.differenceCount, 1u);
    EXPECT_EQ(report.differences[0].targetLine, cut);
    EXPECT_EQ(report.differences[0].sourceLine, 7u);
}

TEST(verifier, a_wrong_tool_is_reported) {
    const ConversionOptions o = options();
    std::vector<std::string> target = lines(convert(kInch, o));
    const std::size_t call = lineOf(target, "G306T3h3S18000D0Z-1.25");
    target[call - 1] = "G306T4h4S18000D0Z-1.25";
    const VerifyReport report = verify(kInch, joined(target), o);
    ASSERT_EQ(report.differenceCount, 5u) << describe(report);  // every cut of the first segment
    EXPECT_EQ(report.differences[0].sourceLine, 7u);
    EXPECT_NE(report.differences[0].text.find("tool T3 in the source, T4 in the target"), std::string::npos);
}

TEST(verifier, a_reversed_arc_and_a_moved_centre_are_reported) {
    const ConversionOptions o = options();
    std::vector<std::string> target = lines(convert(kInch, o));
    for (std::string& line : target)
        if (line.rfind("G2X-4Y-2", 0) == 0) line[1] = '3';
    VerifyReport report = verify(kInch, joined(target), o);
    ASSERT_EQ(report.differenceCount, 1u) << describe(report);
    EXPECT_EQ(report.differences[0].sourceLine, 9u);
    EXPECT_NE(report.differences[0].text.find("a clockwise arc in the source, a counter-clockwise arc"),
              std::string::npos);

    target = lines(convert(kInch, o));
    for (std::string& line : target)
        if (line.rfind("G3X-5Y-3", 0) == 0) line = "G3X-5Y-3I-4.0002J-2";
    report = verify(kInch, joined(target), o);
    ASSERT_EQ(report.differenceCount, 1u) << describe(report);
    EXPECT_EQ(report.differences[0].sourceLine, 10u);
    EXPECT_NE(report.differences[0].text.find("centre X"), std::string::npos);
}

// The tolerance: one unit in the target's last decimal is within it only where rounding explains it.
TEST(verifier, tolerates_the_targets_rounding_and_no_more) {
    const ConversionOptions o = options();
    const std::string source = "N1G20T1005\nN2G0X0Y0\nN3G1Z-0.5\nN4X1.23456\nN5X2.00004\n";
    const std::string target = convert(source, o);
    EXPECT_NE(target.find("X-1.2346"), std::string::npos);  // rounded by 0.00004
    EXPECT_TRUE(verify(source, target, o).same());
    std::string shifted = target;
    shifted.replace(shifted.find("X-1.2346"), 8, "X-1.2347");  // 0.00014 off
    EXPECT_EQ(verify(source, shifted, o).differenceCount, 1u);
}

TEST(verifier, a_truncated_target_misses_the_last_cuts) {
    const ConversionOptions o = options();
    std::vector<std::string> target = lines(convert(kInch, o));
    const std::size_t cut = lineOf(target, "G1X-7.125");
    target.resize(cut - 1);
    const VerifyReport report = verify(kInch, joined(target), o);
    ASSERT_EQ(report.differenceCount, 2u) << describe(report);
    EXPECT_EQ(report.differences[0].sourceLine, 17u);
    EXPECT_EQ(report.differences[1].sourceLine, 18u);
}

TEST(verifier, wrong_units_are_a_difference_and_unreadable_targets_are_not_verified) {
    const ConversionOptions o = options();
    std::string target = convert(kInch, o);
    target.replace(0, 3, "G71");
    VerifyReport report = verify(kInch, target, o);
    ASSERT_EQ(report.differenceCount, 1u);
    EXPECT_NE(report.differences[0].text.find("units: inch in the source, mm in the target"), std::string::npos);

    std::vector<std::string> broken = lines(convert(kInch, o));
    const std::size_t cut = lineOf(broken, "G1X-3");
    broken[cut - 1] = "G1X-3Y?";
    ReplayError error;
    EXPECT_FALSE(verifyConversion(kInch, joined(broken), o, report, error));
    EXPECT_NE(error.reason.find("cannot be read at its line " + std::to_string(cut)), std::string::npos) << error.reason;
    EXPECT_FALSE(verifyConversion(kInch, "not a program\r\n", o, report, error));
    EXPECT_NE(error.reason.find("cannot be read"), std::string::npos) << error.reason;
}

// Cuts before the first rapid get no tool call: the target does not say how deep they are.
TEST(verifier, cuts_that_no_tool_call_precedes_are_reported) {
    const ConversionOptions o = options();
    const std::string source = "N1G20\nN2G1X1Z-0.5\nN3X2\nN4G0Z1\n";
    const VerifyReport report = verify(source, convert(source, o), o);
    EXPECT_EQ(report.differenceCount, 2u);
    EXPECT_NE(report.differences[0].text.find("no tool call"), std::string::npos);
}

// The last cut ends at the next approach height, so the formatter's memory holds that Z while the
// retract has taken the machine to Z2: the approach and the cut after it must still name their Z.
TEST(verifier, the_approach_after_a_retract_always_names_its_height) {
    const ConversionOptions o = options();
    const std::string source = "N1G20T1005\nN2G0X0Y0\nN3G1Z-0.5\nN4G1Z1.25\nN5G0X1\nN6G1X2\nN7G1Z-0.5\nN8G0Z2\n";
    const std::string target = convert(source, o);
    EXPECT_NE(target.find("G0Z2\r\n\r\n(DIS, \"T3\")\r\nG0X-1Z1.75\r\nG1X-2\r\n"), std::string::npos) << target;
    const VerifyReport report = verify(source, target, o);
    EXPECT_TRUE(report.same()) << describe(report);
    EXPECT_EQ(report.movesChecked, 4u);
}

TEST(verifier, a_wrong_depth_everywhere_is_counted_but_listed_only_so_far) {
    const ConversionOptions o = options();
    std::string source = "N1G20T1005\nN2G0X0Y0\nN3G1Z-0.5\n";
    for (int k = 0; k < 300; ++k) source += blockNumber(10 + k) + "X" + std::to_string(k % 7) + "\n";
    std::string target = convert(source, o);
    target.replace(target.find("Z-1.25\r\n"), 6, "Z-1.35");
    const VerifyReport report = verify(source, target, o);
    EXPECT_EQ(report.movesChecked, 301u);
    EXPECT_EQ(report.differenceCount, 301u);
    EXPECT_EQ(report.differences.size(), VerifyReport::kListed);
}

// Random programs of every kind of block verify clean: the two replays agree with the engine.
TEST(verifier, random_programs_verify_clean) {
    std::mt19937 random(20261208);
    auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    auto value = [&]() {
        static const char* const kValues[] = {"0", "1", "-1", "0.5", "12.3456", "-7.00005", "3.14159265",
                                              "100.", ".25", "-0.0001", "1234.5678", "2.5e1", "47.99999"};
        return std::string(kValues[pick(13)]);
    };
    for (int program = 0; program < 200; ++program) {
        std::string source = pick(2) ? "N1G20\n" : "N1G21\n";
        source.append("N2T100").append(std::to_string(1 + pick(9))).append("\nN3G0X0Y0\n");
        const int blocks = 20 + pick(60);
        for (int b = 0; b < blocks; ++b) {
            std::string line = blockNumber(10 + b);
            switch (pick(13)) {
                case 0: line += "G0"; break;
                case 1: line += "G1"; break;
                case 2: line += "G2"; break;
                case 3: line += "G3"; break;
                case 4: line.append("T100").append(std::to_string(pick(10))); break;
                case 5: line = pick(2) ? std::string("(COMMENT)") : blockNumber(b) + "(X5)"; break;
                case 6: line += pick(2) ? "G0G41" : "G40G1"; break;
                case 7: line += pick(2) ? "G1G0G3" : "G2 G1"; break;
                case 8: line += pick(2) ? "G20" : "G21"; break;
                default: break;
            }
            if (pick(2)) line.append("X").append(value());
            if (pick(2)) line.append("Y").append(value());
            if (pick(3) == 0) line.append("Z").append(value());
            if (pick(3) == 0) line.append("I").append(value()).append("J").append(value());
            if (pick(4) == 0) line.append("F").append(value());
            source += line + "\n";
        }
        ConversionOptions o = options(pick(2) ? "0.75" : "18");
        o.ipsFeed = pick(2) == 0;
        ConversionResult converted = convertProgram(source, o);
        ASSERT_TRUE(converted.converted) << converted.error.reason;
        const VerifyReport report = verify(source, converted.text, o);
        EXPECT_TRUE(report.same()) << source << "\n" << converted.text << describe(report);
        if (!report.same()) break;
    }
}

TEST(verifier, verifies_files_through_a_scratch_file) {
    const std::filesystem::path folder = std::filesystem::temp_directory_path() / "pathshift-verifier-test";
    std::filesystem::create_directories(folder);
    const std::filesystem::path source = folder / "part.nc";
    std::ofstream(source, std::ios::binary) << kInch;
    const VerifyResult result = verifyFile(source, options());
    EXPECT_TRUE(result.verified) << result.error.reason;
    EXPECT_TRUE(result.report.same());
    EXPECT_EQ(result.report.movesChecked, 8u);
    EXPECT_EQ(result.conversion.plunges, 2u);

    const VerifyResult missing = verifyFile(folder / "none.nc", options());
    EXPECT_FALSE(missing.verified);
    EXPECT_NE(missing.error.reason.find("cannot open"), std::string::npos);
    const VerifyResult refused = verifyFile(source, options("thick"));
    EXPECT_FALSE(refused.verified);
    EXPECT_NE(refused.error.reason.find("thickness"), std::string::npos);
    std::filesystem::remove_all(folder);
}

TEST(verifier, the_bundled_examples_verify_clean) {
    ToolTableFileError tableError;
    const std::filesystem::path examples = PATHSHIFT_EXAMPLES;
    std::optional<ToolTable> table = loadToolTable(examples / "ToolTbl.Dat", tableError);
    ASSERT_TRUE(table) << tableError.reason;
    struct Example {
        const char* file;
        const char* thickness;
        Head head;
    };
    for (const Example& e : {Example{"cabinet_side.nc", "0.75", Head::One}, Example{"door_panel_mm.nc", "18", Head::One},
                             Example{"sign_letters_head2.nc", "0.5", Head::Two}}) {
        ConversionOptions o;
        o.thickness = e.thickness;
        o.head = e.head;
        o.tools = *table;
        const VerifyResult result = verifyFile(examples / e.file, o);
        EXPECT_TRUE(result.verified) << e.file << ": " << result.error.reason;
        EXPECT_TRUE(result.report.same()) << e.file << "\n" << describe(result.report);
        EXPECT_GT(result.report.movesChecked, 10u) << e.file;
    }
}

}  // namespace
}  // namespace pathshift
