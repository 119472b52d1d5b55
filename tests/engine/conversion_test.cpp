// Whole programs through convertProgram: header and trailer, the line translator, plunges and tool
// calls, errors, the thickness, and the report.

#include "engine/translation/conversion.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "engine/toolpath/verifier.h"
#include "support/piece_source.h"
#include "support/program_text.h"

namespace pathshift {
namespace {

using testing::crlfLines;
using testing::selvixHeader;
using testing::selvixProgram;
using testing::selvixTrailer;

ConversionOptions baseOptions() {
    ConversionOptions options;
    options.thickness = "0.75";
    options.head = Head::One;
    options.tools.appendRow({"1005", "3"});
    return options;
}

ConversionOptions plungeOptions() {
    ConversionOptions options = baseOptions();
    options.dfs = true;
    return options;
}

// Tool 1005 (called as T3), one plunge to -0.25 with thickness 0.75: depth -1, approach height 1.5.
constexpr std::string_view kPreamble = "N1T1005\nN2G0X0Y0\nN3G1Z-0.25F100\n";

std::string preambleBody() {
    return crlfLines({"G0Z2M5", "", "(DIS, \"T3\")", "G306T3h3S0D0Z-1", "M93", "G0X0Y0Z1.5", "G1Z0F100"});
}

// One of each thing an operator must know, on known lines.
constexpr std::string_view kWarningProgram =
    "%\n"                // 1
    "N1T1005\n"          // 2
    "N2T2005\n"          // 3  tool outside head 1
    "N3G0X0Y0\n"         // 4
    "N4G1Z-0.25F100\n"   // 5
    "N5X1(CUT)\n"        // 6  numbered block with a comment
    "n6G1X2\n"           // 7  lower-case n
    " N7G1X3\n"          // 8  starts with a blank
    "N8G2X4Y4\n"         // 9  arc without I or J
    "N9G0X5Y5\n"         // 10
    "N10T1007\n"         // 11
    "N11G1X6\n"          // 12 tool 1007 not in the table; segment without Z
    "N12G1X7\n";         // 13

std::string describe(const ConversionResult& result) {
    return "converted=" + std::to_string(result.converted) + " line=" + std::to_string(result.error.line) +
           " reason=\"" + result.error.reason + "\"";
}

// The text between the header's "START" label and the trailer.
std::string bodyOf(const ConversionResult& result) {
    constexpr std::string_view kStart = "\"START\"\r\n\r\n";
    const std::string trailer = selvixTrailer();
    const std::size_t start = result.text.find(kStart);
    if (start == std::string::npos || result.text.size() < trailer.size() ||
        result.text.compare(result.text.size() - trailer.size(), trailer.size(), trailer) != 0) {
        ADD_FAILURE() << "no header or trailer in:\n" << result.text;
        return {};
    }
    const std::size_t from = start + kStart.size();
    return result.text.substr(from, result.text.size() - trailer.size() - from);
}

std::string convertBody(std::string_view source, const ConversionOptions& options = baseOptions()) {
    ConversionResult result = convertProgram(source, options);
    EXPECT_TRUE(result.converted) << describe(result);
    return bodyOf(result);
}

// The body written for the lines after the preamble.
std::string bodyAfterPreamble(std::string_view lines, const ConversionOptions& options = baseOptions()) {
    const std::string body = convertBody(std::string(kPreamble) + std::string(lines), options);
    const std::string preamble = preambleBody();
    if (body.compare(0, preamble.size(), preamble) != 0) {
        ADD_FAILURE() << "the preamble's plunge is not at the start of:\n" << body;
        return body;
    }
    return body.substr(preamble.size());
}

std::vector<ConversionWarning> warningsOf(const ConversionReport& report, WarningKind kind) {
    std::vector<ConversionWarning> found;
    for (const ConversionWarning& warning : report.warnings)
        if (warning.kind == kind) found.push_back(warning);
    return found;
}

// ---------------------------------------------------------------------------------------------
// The worked plunge example, whole files

TEST(WorkedPlungeExample, IsWrittenByteForByteWithHeaderAndTrailer) {
    ConversionResult result = convertProgram(testing::kPlungeSource, plungeOptions());
    ASSERT_TRUE(result.converted) << describe(result);
    EXPECT_EQ(result.text, testing::plungeProgram());
}

TEST(WorkedPlungeExample, DoesNotDependOnTheSourceLineEnds) {
    const std::string expected = testing::plungeProgram();
    for (std::string_view source : {
             "N1G20\r\nN2T1005S18000\r\nN3G0X1Y2\r\nN4G1Z0.5F100\r\nN5X3\r\nN6G0Z1\r\n",
             "N1G20\rN2T1005S18000\rN3G0X1Y2\rN4G1Z0.5F100\rN5X3\rN6G0Z1\r",
             "N1G20\nN2T1005S18000\r\nN3G0X1Y2\rN4G1Z0.5F100\nN5X3\nN6G0Z1",
         }) {
        ConversionResult result = convertProgram(source, plungeOptions());
        ASSERT_TRUE(result.converted) << describe(result);
        EXPECT_EQ(result.text, expected) << "source: " << ::testing::PrintToString(std::string(source));
    }
}

TEST(WorkedPlungeExample, ReportCountsItsLinesAndBlocks) {
    ConversionResult result = convertProgram(testing::kPlungeSource, plungeOptions());
    ASSERT_TRUE(result.converted) << describe(result);
    const ConversionReport& r = result.report;
    EXPECT_EQ(r.linesRead, 6u);
    EXPECT_EQ(r.blocksTranslated, 6u);
    EXPECT_EQ(r.linesDropped, 0u);
    EXPECT_EQ(r.plunges, 1u);
    EXPECT_EQ(r.toolCalls, 1u);
    EXPECT_EQ(r.warningCount(), 0u) << (r.warnings.empty() ? "" : r.warnings.front().text);
}

TEST(WorkedPlungeExample, DfsOffWritesD0) {
    ConversionResult result = convertProgram(testing::kPlungeSource, baseOptions());
    ASSERT_TRUE(result.converted) << describe(result);
    EXPECT_NE(result.text.find("\r\nG306T3h3S18000D0Z-0.25\r\n"), std::string::npos) << result.text;
}

// ---------------------------------------------------------------------------------------------
// Header and trailer

TEST(ProgramHeader, NamesTheUnitsTheProgramChoseLast) {
    struct Case {
        std::string_view source;
        std::string_view units;
    };
    for (const Case& c : {Case{"N1G21\n", "G71"}, Case{"N1G20\n", "G70"}, Case{"N1G20\nN2G21\n", "G71"},
                          Case{"N1G21\nN2G20\n", "G70"}, Case{"N1G21G20\n", "G70"}, Case{"N1G20G21\n", "G71"},
                          Case{"N1M3\n", ""}}) {
        ConversionResult result = convertProgram(c.source, baseOptions());
        ASSERT_TRUE(result.converted) << describe(result);
        EXPECT_EQ(result.text, selvixProgram(c.units, "0.75", "")) << "source: " << c.source;
    }
}

TEST(ProgramHeader, UnitsOnDroppedLinesDoNotCount) {
    ConversionResult result = convertProgram("(G21)\nn2G21\n N3G21\nN4G21(MM)\nN5G1.5\n", baseOptions());
    ASSERT_TRUE(result.converted) << describe(result);
    EXPECT_EQ(result.text.substr(0, 2), "\r\n") << "the units line must be empty";
}

TEST(ProgramHeader, UnitsNamedAfterTheBodyStillHeadTheProgram) {
    ConversionResult result = convertProgram(std::string(kPreamble) + "N9G1X1\nN10G21\n", baseOptions());
    ASSERT_TRUE(result.converted) << describe(result);
    EXPECT_EQ(result.text, selvixProgram("G71", "0.75", preambleBody() + crlfLines({"G1X-1", "G1"})));
}

TEST(ProgramHeader, CopiesTheThicknessAsTyped) {
    for (std::string_view thickness : {"0.750", " 0.75", "0.75\t", "+.75", "7.5e-1", "75D-2", "0.7500000000000000001"}) {
        ConversionOptions options = baseOptions();
        options.thickness = std::string(thickness);
        ConversionResult result = convertProgram(kPreamble, options);
        ASSERT_TRUE(result.converted) << "thickness \"" << thickness << "\": " << describe(result);
        // Every spelling of 0.75 gives the same depth and approach height.
        EXPECT_EQ(result.text, selvixProgram("", thickness, preambleBody())) << "thickness \"" << thickness << "\"";
    }
}

TEST(ProgramHeader, EmptyProgramIsHeaderThenTrailer) {
    for (std::string_view source : {"", "\n", "%\nO1000\n(DOOR 7)\n%", "\r\n\r\n"}) {
        ConversionResult result = convertProgram(source, baseOptions());
        ASSERT_TRUE(result.converted) << describe(result);
        EXPECT_EQ(result.text, selvixProgram("", "0.75", "")) << "source: " << ::testing::PrintToString(std::string(source));
    }
}

// ---------------------------------------------------------------------------------------------
// Line translator

TEST(LineTranslator, MirrorsXAndYAndLeavesUnchangedWordsOut) {
    EXPECT_EQ(bodyAfterPreamble("N9G1X7Y7\nN10G1X1.5Y-2\n"), crlfLines({"G1X-7Y-7", "G1X-1.5Y2"}));
}

TEST(LineTranslator, OnlyTheFirstOccurrenceOfALetterCounts) {
    EXPECT_EQ(bodyAfterPreamble("N9G1X1X2Y3Y4\n"), crlfLines({"G1X-1Y-3"}));
}

TEST(LineTranslator, ModalLinesWithNothingNewWriteJustTheMotionCode) {
    EXPECT_EQ(bodyAfterPreamble("N20M8\nN21\nN22G1X0Y0Z-0.25F100\nN23g0x5\n"), crlfLines({"G1", "G1", "G1", "G1"}));
}

TEST(LineTranslator, RapidWritesNothingAndTheNextCutRapidsToItsPosition) {
    // Same tool and same depth: the short block, then the rapid to where the G0 line ended.
    EXPECT_EQ(bodyAfterPreamble("N30G0X10Y5\nN31G1Z-0.25\n"),
              crlfLines({"G0Z2", "", "(DIS, \"T3\")", "G0X-10Y-5Z1.5", "G1Z0"}));
}

TEST(LineTranslator, ArcCentresBecomeAbsoluteInTheMirroredFrame) {
    EXPECT_EQ(bodyAfterPreamble("N39G1X1Y1\nN40G2X3Y1I1J0.5\nN41G3X1Y1I-1J0\n"),
              crlfLines({"G1X-1Y-1", "G2X-3I-2J-1.5", "G3X-1I-2J-1"}));
}

TEST(LineTranslator, ArcCentreIsSummedAsA32BitFloat) {
    // 10000 + 0.00005 is 10000 in a 32-bit float; a 64-bit sum would print 10000.0001.
    EXPECT_EQ(bodyAfterPreamble("N39G1X10000Y0\nN40G2X10000Y0I0.00005J0\n"),
              crlfLines({"G1X-10000", "G2I-10000J0"}));
}

TEST(LineTranslator, ArcWithoutCentreWordsUsesItsStartPointAndWarns) {
    ConversionResult result = convertProgram(std::string(kPreamble) + "N39G1X1Y1\nN40G2X3Y3\n", baseOptions());
    ASSERT_TRUE(result.converted) << describe(result);
    EXPECT_EQ(bodyOf(result), preambleBody() + crlfLines({"G1X-1Y-1", "G2X-3Y-3I-1J-1"}));
    const auto warnings = warningsOf(result.report, WarningKind::ArcWithoutCentre);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0].line, 5u);
}

TEST(LineTranslator, ArcWithOnlyOneCentreWordIsNotReported) {
    ConversionResult result = convertProgram(std::string(kPreamble) + "N39G1X1Y1\nN40G2X3I1\nN41G3X1J0\n", baseOptions());
    ASSERT_TRUE(result.converted) << describe(result);
    EXPECT_EQ(bodyOf(result), preambleBody() + crlfLines({"G1X-1Y-1", "G2X-3I-2J-1", "G3X-1I-3J-1"}));
    EXPECT_TRUE(warningsOf(result.report, WarningKind::ArcWithoutCentre).empty());
}

TEST(LineTranslator, LongProgramsAreWrittenWhole) {
    std::string source(kPreamble);
    std::string expected = preambleBody();
    for (int i = 0; i < 150000; ++i) {
        source += 'N';
        source += std::to_string(i + 10);
        source += i % 2 ? "G1X2\n" : "G1X1\n";
        expected += i % 2 ? "G1X-2\r\n" : "G1X-1\r\n";
    }
    ConversionResult result = convertProgram(source, baseOptions());
    ASSERT_TRUE(result.converted) << describe(result);
    const std::string body = bodyOf(result);
    EXPECT_EQ(body.size(), expected.size());
    EXPECT_TRUE(body == expected) << "the body differs from the expected " << expected.size() << " bytes";
    EXPECT_EQ(result.report.blocksTranslated, 150003u);
}

TEST(LineTranslator, WordValuesKeepSevenDigitsAndFourDecimals) {
    EXPECT_EQ(bodyAfterPreamble("N9G1X0.1Y-123.45678\nN10G1X1.23456\nN11G1X1000.5\n"),
              crlfLines({"G1X-0.1Y123.4568", "G1X-1.2346", "G1X-1000.5"}));
}

TEST(LineTranslator, HalfOfTheLastDecimalRoundsAwayFromZeroAndNeverGivesMinusZero) {
    EXPECT_EQ(bodyAfterPreamble("N9G1X1\nN10G1X0.00005\nN11G1X-0.00005\nN12G1X0.00004\nN13G1X-0.00004\n"),
              crlfLines({"G1X-1", "G1X-0.0001", "G1X0.0001", "G1X0", "G1X0"}));
}

TEST(LineTranslator, WordsAreReadByTheLeadingNumberRule) {
    struct Case {
        std::string_view field;
        std::string_view word;
    };
    for (const Case& c : {Case{" 1 . 5", "X-1.5"}, Case{"1.5.3", "X-1.5"}, Case{"1e1", "X-10"}, Case{"1D1", "X-10"},
                          Case{"1d-1", "X-0.1"}, Case{"1 e 1", "X-10"}, Case{"2E", "X-2"}, Case{"2e+", "X-2"},
                          Case{"&H10", "X0"}, Case{"&O17", "X0"}, Case{"", "X0"}, Case{"-3", "X3"}, Case{"+3", "X-3"},
                          Case{"\t7", "X-7"}, Case{".5", "X-0.5"}, Case{"-.5", "X0.5"}, Case{"0x10", "X0"}}) {
        EXPECT_EQ(bodyAfterPreamble("N8G1X5\nN9G1X" + std::string(c.field) + "\n"),
                  crlfLines({"G1X-5", std::string("G1") + std::string(c.word)}))
            << "field \"" << c.field << "\"";
    }
}

TEST(LineTranslator, GFieldsAreNotTrimmedAndAreReadAsNumbers) {
    // "N50G0 G40": the second field is "0 ", still G0.
    EXPECT_EQ(bodyAfterPreamble("N50G0 G40\nN51G1Z-0.25\n"),
              crlfLines({"G0Z2", "", "(DIS, \"T3\")", "G0G40Z1.5", "G1Z0"}));
    EXPECT_EQ(bodyAfterPreamble("N50G00G41\nN51G01Z-0.25\n"),
              crlfLines({"G0Z2", "", "(DIS, \"T3\")", "G0G41Z1.5", "G1Z0"}));
    EXPECT_EQ(bodyAfterPreamble("N50G 0G42\nN51G1.0Z-0.25\n"),
              crlfLines({"G0Z2", "", "(DIS, \"T3\")", "G0G42Z1.5", "G1Z0"}));
}

TEST(LineTranslator, OtherGCodesChangeNothing) {
    EXPECT_EQ(bodyAfterPreamble("N60G1.5X3\nN61G17G90G54G64X4\nN62G0.5X5\n"), crlfLines({"G1X-3", "G1X-4", "G1X-5"}));
}

TEST(LineTranslator, TheLastCompensationWordGoesIntoTheRapid) {
    EXPECT_EQ(bodyAfterPreamble("N50G41\nN51G42\nN52G0\nN53G1Z-0.25\n"),
              crlfLines({"G1", "G1", "G0Z2", "", "(DIS, \"T3\")", "G0G42Z1.5", "G1Z0"}));
}

TEST(LineTranslator, AnOpeningParenthesisAnywhereDropsTheLine) {
    for (std::size_t at = 0; at < 70; ++at) {
        std::string line = "N9G1X5Y5Z-0.25 ";
        line.append(at, at % 3 ? ' ' : 'A');
        const std::string kept = bodyAfterPreamble(line + ")\n");
        EXPECT_EQ(kept, crlfLines({"G1X-5Y-5"})) << "a closing parenthesis alone keeps the line, at " << at;
        const std::string dropped = bodyAfterPreamble(line + "(\nN10G1X6\n");
        EXPECT_EQ(dropped, crlfLines({"G1X-6"})) << "parenthesis after " << line.size() << " bytes";
    }
}

TEST(LineTranslator, DroppedLinesProduceAndChangeNothing) {
    const std::string lines = "N9G1X1\n"          // 4
                              " N10G1X5\n"        // 5: starts with a blank
                              "n11G1X6\n"         // 6: lower-case n
                              "N12G0X7(RAPID)\n"  // 7: a comment
                              "(N13G1X8)\n"       // 8
                              "%\n"               // 9
                              "O1000\n"           // 10
                              "\n"                // 11
                              "N14G1X9;(\n"       // 12
                              "N15G1X1\n";        // 13
    ConversionResult result = convertProgram(std::string(kPreamble) + lines, baseOptions());
    ASSERT_TRUE(result.converted) << describe(result);
    EXPECT_EQ(bodyOf(result), preambleBody() + crlfLines({"G1X-1", "G1"}));
    EXPECT_EQ(result.report.linesRead, 13u);
    EXPECT_EQ(result.report.blocksTranslated, 5u);
    EXPECT_EQ(result.report.linesDropped, 8u);
    EXPECT_EQ(result.report.plunges, 1u);

    const auto commented = warningsOf(result.report, WarningKind::CommentedBlock);
    ASSERT_EQ(commented.size(), 2u);
    EXPECT_EQ(commented[0].line, 7u);
    EXPECT_EQ(commented[1].line, 12u);
    const auto unnumbered = warningsOf(result.report, WarningKind::UnnumberedWords);
    ASSERT_EQ(unnumbered.size(), 2u);
    EXPECT_EQ(unnumbered[0].line, 5u);
    EXPECT_EQ(unnumbered[1].line, 6u);
    EXPECT_EQ(result.report.warningCount(), 4u);
}

TEST(LineTranslator, NonAsciiBytesAreOrdinaryCharacters) {
    EXPECT_EQ(bodyAfterPreamble("N4G1X1\x80Y2\nN5G1X3\xC3\xA9Y4\xFF\n"), crlfLines({"G1X-1Y-2", "G1X-3Y-4"}));
}

TEST(LineTranslator, ANulByteIsACharacterOrRefusedWithItsLine) {
    using namespace std::string_literals;
    ConversionResult result = convertProgram(std::string(kPreamble) + "N4G1X1\0Y2\nN5G1X3\n"s, baseOptions());
    if (result.converted) {
        EXPECT_EQ(bodyOf(result), preambleBody() + crlfLines({"G1X-1Y-2", "G1X-3"}));
    } else {
        EXPECT_EQ(result.error.line, 4u) << result.error.reason;
        EXPECT_FALSE(result.error.reason.empty());
        EXPECT_TRUE(result.text.empty());
    }
}

TEST(LineTranslator, LinesOfSeveralMegabytesAreTranslated) {
    std::string lines = "N4G1X1" + std::string(4u << 20, ' ') + "Y2\n";
    lines += "(" + std::string(4u << 20, 'C') + ")\n";
    lines += "N6G1X3\n";
    EXPECT_EQ(bodyAfterPreamble(lines), crlfLines({"G1X-1Y-2", "G1X-3"}));
}

// ---------------------------------------------------------------------------------------------
// Feeds

struct FeedCase {
    std::string_view source;
    bool ipsFeed;
    std::string_view units;
    std::string_view motion;
};

TEST(Feed, InchFeedsArePerSecondWithTheIpsOption) {
    for (const FeedCase& c : {
             FeedCase{"N1G20\nN2T1005\nN3G0X0Y0\nN4G1Z-0.25F120\n", true, "G70", "G1Z0F2"},
             FeedCase{"N1G21\nN2T1005\nN3G0X0Y0\nN4G1Z-0.25F120\n", true, "G71", "G1Z0F120"},
             FeedCase{"N1G20\nN2T1005\nN3G0X0Y0\nN4G1Z-0.25F120\n", false, "G70", "G1Z0F120"},
             FeedCase{"N2T1005\nN3G0X0Y0\nN4G1Z-0.25F120\n", true, "", "G1Z0F2"},
             // The division looks at the units before the line's own G words.
             FeedCase{"N1G20\nN2T1005\nN3G0X0Y0\nN4G21G1Z-0.25F120\n", true, "G71", "G1Z0F2"},
             FeedCase{"N1G21\nN2T1005\nN3G0X0Y0\nN4G20G1Z-0.25F120\n", true, "G70", "G1Z0F120"},
             // 2400 per minute is 40 per second, and a feed of 40 is never written.
             FeedCase{"N1G20\nN2T1005\nN3G0X0Y0\nN4G1Z-0.25F2400\n", true, "G70", "G1Z0"},
             FeedCase{"N1G20\nN2T1005\nN3G0X0Y0\nN4G1Z-0.25F100\n", true, "G70", "G1Z0F1.6667"},
         }) {
        ConversionOptions options = baseOptions();
        options.ipsFeed = c.ipsFeed;
        ConversionResult result = convertProgram(c.source, options);
        ASSERT_TRUE(result.converted) << describe(result);
        const std::string body = crlfLines({"G0Z2M5", "", "(DIS, \"T3\")", "G306T3h3S0D0Z-1", "M93", "G0X0Y0Z1.5", c.motion});
        EXPECT_EQ(result.text, selvixProgram(c.units, "0.75", body)) << "source: " << c.source << " ips " << c.ipsFeed;
    }
}

TEST(Feed, FortyIsNeverWrittenAndAnUnchangedFeedIsLeftOut) {
    EXPECT_EQ(bodyAfterPreamble("N9G1X1F40\nN10G1X2F100\nN11G1X3F40\nN12G1X4F50\nN13G1X5F50\n"),
              crlfLines({"G1X-1", "G1X-2", "G1X-3", "G1X-4F50", "G1X-5"}));
}

// ---------------------------------------------------------------------------------------------
// Plunges, depths and tool calls

TEST(Plunge, TheRapidGoesToWhereThePreviousLineEnded) {
    EXPECT_EQ(convertBody("N1T1005\nN2G0X1Y1\nN3G1X5Y5Z-0.25F100\n"),
              crlfLines({"G0Z2M5", "", "(DIS, \"T3\")", "G306T3h3S0D0Z-1", "M93", "G0X-1Y-1Z1.5", "G1X-5Y-5Z0F100"}));
}

// The rapid writes the start point as any word of its value is written, whether the last block
// that did not cut gave it in the text written, in another text, or not at all.
TEST(Plunge, TheRapidsStartPointIsWrittenAsItsValue) {
    const struct {
        std::string_view lines, rapid;
    } cases[] = {
        {"N10G0X1.5Y-2.25\nN11G1Z-0.25\n", "G0X-1.5Y2.25Z1.5"},
        {"N10G0X+2Y05\nN11G1Z-0.25\n", "G0X-2Y-5Z1.5"},
        {"N10G0X1.50Y-3.0\nN11G1Z-0.25\n", "G0X-1.5Y3Z1.5"},
        {"N10G0X1.23456Y7\nN11G1Z-0.25\n", "G0X-1.2346Y-7Z1.5"},
        {"N10G1X2Y3Z-0.25\nN11G0X5\nN12G1Z-0.25\n", "G0X-5Z1.5"},
        {"N10G0X1Y1\nN11G1Z-0.25\nN12G1X3Y4Z-0.25\nN13G0\nN14G1Z-0.25\n", "G0Z1.5"},
    };
    for (const auto& c : cases) {
        const std::string body = bodyAfterPreamble(c.lines);
        EXPECT_NE(body.find("\r\n" + std::string(c.rapid) + "\r\n"), std::string::npos) << c.lines << body;
    }
}

TEST(Plunge, RapidAndCutOnOneLinePlungeAtOnce) {
    EXPECT_EQ(convertBody("N1T1005\nN2X1Y1\nN3G0G1Z-0.25F100\nN4G1G0X7\nN5X8\n"),
              crlfLines({"G0Z2M5", "", "(DIS, \"T3\")", "G306T3h3S0D0Z-1", "M93", "G0X-1Y-1Z1.5", "G1Z0F100"}));
}

TEST(Plunge, ANewDepthWritesTheFullToolBlockAgain) {
    EXPECT_EQ(bodyAfterPreamble("N10G0X5Y5\nN11G1Z-0.5\nN12G1X6\n"),
              crlfLines({"G0Z2M5", "", "(DIS, \"T3\")", "G306T3h3S0D0Z-1.25", "M93", "G0X-5Y-5Z1.75", "G1Z0",
                         "G1X-6"}));
}

TEST(Plunge, ANewToolAtTheSameDepthWritesTheFullToolBlock) {
    EXPECT_EQ(bodyAfterPreamble("N10T1006S12000\nN11G0X5Y5\nN12G1Z-0.25\n"),
              crlfLines({"G1", "G0Z2M5", "", "(DIS, \"T6\")", "G306T6h6S12000D0Z-1", "M93", "G0X-5Y-5Z1.5", "G1Z0"}));
}

TEST(Plunge, ZIsRelativeToTheLowestCutOfItsSegment) {
    EXPECT_EQ(convertBody("N1T1005\nN2G0X0Y0Z-3\nN3G1Z-0.25F100\nN4G1X1Z-0.5\nN5G1X2Z-0.375\nN6G0Z2\n"
                          "N7G0X8\nN8G1Z-0.125\nN9X9Z0\n"),
              crlfLines({"G0Z2M5", "", "(DIS, \"T3\")", "G306T3h3S0D0Z-1.25", "M93", "G0X0Y0Z1.75", "G1Z0.25F100",
                         "G1X-1Z0", "G1X-2Z0.125", "G0Z2M5", "", "(DIS, \"T3\")", "G306T3h3S0D0Z-0.875", "M93",
                         "G0X-8Z1.375", "G1Z0", "G1X-9Z0.125"}));
}

TEST(Plunge, SegmentWithoutZIsCutAt9999MinusTheThickness) {
    ConversionResult result = convertProgram("N1T1005\nN2G0X0Y0\nN3G1X5F100\n", baseOptions());
    ASSERT_TRUE(result.converted) << describe(result);
    EXPECT_EQ(bodyOf(result), crlfLines({"G0Z2M5", "", "(DIS, \"T3\")", "G306T3h3S0D0Z9998.25", "M93",
                                         "G0X0Y0Z-9997.75", "G1X-5Z-9999F100"}));
    const auto warnings = warningsOf(result.report, WarningKind::SegmentWithoutZ);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0].line, 3u);
}

TEST(Plunge, NegativeThicknessIsANumberLikeAnyOther) {
    ConversionOptions options = baseOptions();
    options.thickness = "-0.5";
    // Depth and approach height are both 0.25. The depth word is remembered as the last Z, but the
    // retract has taken the machine to Z2: the rapid still names its height.
    EXPECT_EQ(convertBody(kPreamble, options),
              crlfLines({"G0Z2M5", "", "(DIS, \"T3\")", "G306T3h3S0D0Z0.25", "M93", "G0X0Y0Z0.25", "G1Z0F100"}));
}

// Both scans start with no rapid pending, so a final rapid does not shift the segments.
TEST(Plunge, CutsBeforeTheFirstRapidAndAFinalRapidKeepEverySegmentInPlace) {
    ConversionResult result =
        convertProgram("N1T1005\nN2G1X1Y1Z-0.5F100\nN3G0X2Y2\nN4G1Z-0.25\nN5G0Z1\n", baseOptions());
    ASSERT_TRUE(result.converted) << describe(result);
    EXPECT_EQ(result.text,
              selvixProgram("", "0.75",
                            crlfLines({"G1X-1Y-1Z0F100", "G0Z2M5", "", "(DIS, \"T3\")", "G306T3h3S0D0Z-1", "M93",
                                       "G0X-2Y-2Z1.5", "G1Z0"})));
    EXPECT_EQ(result.report.plunges, 1u);
    EXPECT_EQ(result.report.toolCalls, 1u);
}

TEST(Plunge, OutputDoesNotDependOnProgramsConvertedBefore) {
    const std::string_view program = "N1T1005\nN2G1X1Y1Z-0.5F100\nN3G0X2Y2\nN4G1Z-0.25\nN5G0Z1\n";
    const ConversionResult alone = convertProgram(program, baseOptions());
    ASSERT_TRUE(alone.converted) << describe(alone);
    // A program that leaves units, compensation, an arc mode, a feed and a pending rapid behind.
    for (std::string_view before : {"N1G21\nN2T1009S9000\nN3G0G41X5Y5\nN4G2X1Y1I1J1F300Z-7\nN5G0\n",
                                    "N1G20\nN2T1006\nN3G0X1\nN4G1Z-2F40\nN5G3X4I1\n"}) {
        ConversionOptions options = baseOptions();
        options.ipsFeed = true;
        ASSERT_TRUE(convertProgram(before, options).converted);
        const ConversionResult after = convertProgram(program, baseOptions());
        ASSERT_TRUE(after.converted) << describe(after);
        EXPECT_EQ(after.text, alone.text);
    }
}

// ---------------------------------------------------------------------------------------------
// Tool words and the head's tool range

struct ToolCase {
    Head head;
    std::string_view toolLines;
    std::string_view called;  // the (DIS, ...) line and the G306 line
    std::string_view tool306;
};

TEST(ToolCall, TheSelectedHeadsRangeDecidesWhichToolIsCalled) {
    for (const ToolCase& c : {
             ToolCase{Head::One, "N1T1005\n", "(DIS, \"T3\")", "G306T3h3S0D0Z-1"},
             ToolCase{Head::One, "N1T1005\nN2T2005\n", "(DIS, \"T3\")", "G306T3h3S0D0Z-1"},
             ToolCase{Head::One, "N1T1007\n", "(DIS, \"T7\")", "G306T7h7S0D0Z-1"},
             ToolCase{Head::One, "N1T1001\n", "(DIS, \"T1\")", "G306T1h1S0D0Z-1"},
             ToolCase{Head::One, "N1T1009\n", "(DIS, \"T9\")", "G306T9h9S0D0Z-1"},
             ToolCase{Head::One, "N1T1010\n", "(DIS, \"T0\")", "G306T0h0S0D0Z-1"},
             ToolCase{Head::One, "N1T1000\n", "(DIS, \"T0\")", "G306T0h0S0D0Z-1"},
             ToolCase{Head::One, "N1T2005\n", "(DIS, \"T0\")", "G306T0h0S0D0Z-1"},
             ToolCase{Head::One, "N1T1004.5\n", "(DIS, \"T4\")", "G306T4h4S0D0Z-1"},
             ToolCase{Head::One, "N1T1005.5\n", "(DIS, \"T6\")", "G306T6h6S0D0Z-1"},
             ToolCase{Head::One, "N1T1005S18000.5\n", "(DIS, \"T3\")", "G306T3h3S18000.5D0Z-1"},
             ToolCase{Head::Two, "N1T2005\n", "(DIS, \"T4\")", "G306T4h4S0D0Z-1"},
             ToolCase{Head::Two, "N1T2019\n", "(DIS, \"T9\")", "G306T9h9S0D0Z-1"},
             ToolCase{Head::Two, "N1T2010\n", "(DIS, \"T0\")", "G306T0h0S0D0Z-1"},
             ToolCase{Head::Two, "N1T2020\n", "(DIS, \"T0\")", "G306T0h0S0D0Z-1"},
             ToolCase{Head::Two, "N1T1005\n", "(DIS, \"T0\")", "G306T0h0S0D0Z-1"},
             ToolCase{Head::Two, "N1T2012\nN2T1005\n", "(DIS, \"T12\")", "G306T12h12S0D0Z-1"},
         }) {
        ConversionOptions options = baseOptions();
        options.head = c.head;
        options.tools.appendRow({"2005", "4"});
        options.tools.appendRow({"2010", "7"});  // never consulted: 2010 ends in 0
        options.tools.appendRow({"2012", "12"});
        const std::string source = std::string(c.toolLines) + "N8G0X0Y0\nN9G1Z-0.25F100\n";
        EXPECT_EQ(convertBody(source, options),
                  crlfLines({"G0Z2M5", "", c.called, c.tool306, "M93", "G0X0Y0Z1.5", "G1Z0F100"}))
            << "head " << static_cast<int>(c.head) << ", " << c.toolLines;
    }
}

TEST(ToolCall, ToolWordsOutsideTheHeadAreReported) {
    ConversionResult result = convertProgram("N1T1005\nN2T2005\nN3T1010\nN4T1006\n", baseOptions());
    ASSERT_TRUE(result.converted) << describe(result);
    const auto warnings = warningsOf(result.report, WarningKind::ToolOutsideHead);
    ASSERT_EQ(warnings.size(), 2u);
    EXPECT_EQ(warnings[0].line, 2u);
    EXPECT_EQ(warnings[1].line, 3u);
}

TEST(ToolCall, AToolMissingFromTheTableIsCalledByItsLastDigitAndReported) {
    ConversionResult result = convertProgram("N1T1007\nN2G0X0Y0\nN3G1Z-0.25F100\n", baseOptions());
    ASSERT_TRUE(result.converted) << describe(result);
    EXPECT_NE(result.text.find("(DIS, \"T7\")\r\nG306T7h7"), std::string::npos) << result.text;
    const auto warnings = warningsOf(result.report, WarningKind::ToolNotInTable);
    ASSERT_EQ(warnings.size(), 1u);
    EXPECT_EQ(warnings[0].line, 3u);
}

TEST(ToolCall, AMatchingRowWithoutANumberCallsToolZeroAndSaysWhichRow) {
    for (const char* cell : {"", "abc", " - "}) {
        ConversionOptions options = baseOptions();
        options.tools = ToolTable(std::vector<ToolRow>{{"1006", "4"}, {"1007", cell}});
        ConversionResult result = convertProgram("N1T1007\nN2G0X0Y0\nN3G1Z-0.25F100\n", options);
        ASSERT_TRUE(result.converted) << describe(result);
        EXPECT_NE(result.text.find("G306T0h0"), std::string::npos) << result.text;
        const auto warnings = warningsOf(result.report, WarningKind::ToolCellNotANumber);
        ASSERT_EQ(warnings.size(), 1u) << cell;
        EXPECT_EQ(warnings[0].line, 3u);
        EXPECT_NE(warnings[0].text.find("row 2 for tool 1007"), std::string::npos) << warnings[0].text;
    }
    ConversionOptions options = baseOptions();
    options.tools = ToolTable(std::vector<ToolRow>{{"1007", "0"}});
    const ConversionResult zero = convertProgram("N1T1007\nN2G0X0Y0\nN3G1Z-0.25F100\n", options);
    EXPECT_TRUE(warningsOf(zero.report, WarningKind::ToolCellNotANumber).empty());  // a written 0 is meant
}

TEST(ToolCall, AnOutOfRangeCellOfTheMatchingRowFailsTheProgram) {
    ConversionOptions options = baseOptions();
    options.tools = ToolTable(std::vector<ToolRow>{{"1005", "40000"}});
    ConversionResult result = convertProgram(kPreamble, options);
    EXPECT_FALSE(result.converted);
    EXPECT_TRUE(result.text.empty());
    EXPECT_FALSE(result.error.reason.empty());
}

// ---------------------------------------------------------------------------------------------
// Programs that cannot be converted

TEST(ConversionError, NamesTheLineAndConvertsNothing) {
    for (std::string_view bad : {"N4T99999", "N4T32767.5", "N4T-32769", "N4T1e400", "N4G1X1e39", "N4G1Y-1e39",
                                 "N4G1Z3.5e38", "N4G2X1I1e39", "N4G2X1J-1e39", "N4G1F1e39", "N4S1e39", "N4M1e400",
                                 "N4P1e400", "N4K-1e400", "N4H1e400", "N4G1e400", "N4G0G1e400", "N4G1X1e400",
                                 "N4G1X1T99999"}) {
        const std::string source = std::string(kPreamble) + std::string(bad) + "\nN5G1e400\nN6T99999\nN7Z1e39\n";
        ConversionResult result = convertProgram(source, baseOptions());
        EXPECT_FALSE(result.converted) << bad;
        EXPECT_TRUE(result.text.empty()) << bad;
        EXPECT_EQ(result.error.line, 4u) << bad << ": " << result.error.reason;
        EXPECT_FALSE(result.error.reason.empty()) << bad;
    }
}

TEST(ConversionError, LinesAreCountedWithEveryKindOfLineEnd) {
    for (std::string_view source : {"N1T1005\rN2\r\nN3T99999\n", "\n\r\nN3T99999", "N1\r\rN3X1e39\r"}) {
        ConversionResult result = convertProgram(source, baseOptions());
        EXPECT_FALSE(result.converted);
        EXPECT_EQ(result.error.line, 3u) << ::testing::PrintToString(std::string(source)) << ": " << result.error.reason;
    }
}

TEST(ConversionError, ValuesInsideTheirRangeAndDroppedLinesAreFine) {
    for (std::string_view fine : {"N4G1X3.4e38", "N4T32767", "N4T-32768", "N4T32767.4", "N4M1e300", "N4G1X1e-400",
                                  "(N4X1e400)", "n4T99999", " N4G1e400", "N4X1e400(NOTE)"}) {
        const std::string source = std::string(kPreamble) + std::string(fine) + "\n";
        ConversionResult result = convertProgram(source, baseOptions());
        EXPECT_TRUE(result.converted) << fine << ": " << describe(result);
    }
}

TEST(ConversionError, ArbitraryBytesNeverCrashTheConverter) {
    std::mt19937 random(20261208);
    std::uniform_int_distribution<int> byte(0, 255);
    std::uniform_int_distribution<int> letter(0, 15);
    constexpr std::string_view kLetters = "NGXYZIJFSTM.-0\n1";
    for (int round = 0; round < 200; ++round) {
        std::string source(static_cast<std::size_t>(round) * 37, '\0');
        for (char& c : source) c = round % 2 ? static_cast<char>(byte(random)) : kLetters[letter(random)];
        ConversionResult result = convertProgram(source, baseOptions());
        if (result.converted) {
            const std::string trailer = selvixTrailer();
            ASSERT_GE(result.text.size(), trailer.size());
            EXPECT_EQ(result.text.substr(result.text.size() - trailer.size()), trailer);
        } else {
            EXPECT_TRUE(result.text.empty());
            EXPECT_FALSE(result.error.reason.empty());
        }
    }
}

TEST(ProgramInPieces, ConvertsExactlyLikeTheWholeText) {
    std::vector<std::string> programs{std::string(testing::kPlungeSource), std::string(kWarningProgram),
                                      std::string(kPreamble) + "N9G1X1\r\nN10G2X2Y2I1J1\rN11G0X5\nN12G1Z-0.5\n",
                                      std::string(kPreamble) + "N4T99999\n", ""};
    for (const std::string& program : programs) {
        const ConversionResult whole = convertProgram(program, plungeOptions());
        for (std::size_t chunk : {1u, 7u, 4096u}) {
            testing::PieceSource source(program, chunk);
            std::string text;
            class Sink final : public OutputSink {
            public:
                explicit Sink(std::string& t) : t_(t) {}
                bool write(std::string_view piece) override {
                    t_.append(piece);
                    return true;
                }
                std::string& t_;
            } sink(text);
            ConversionReport report;
            ConversionError error;
            const bool converted = convertProgram(source, plungeOptions(), sink, report, error);
            EXPECT_EQ(converted, whole.converted) << program;
            if (converted) {
                EXPECT_EQ(text, whole.text) << "reads of " << chunk;
            }
            EXPECT_EQ(error.line, whole.error.line);
            EXPECT_EQ(report.warningCount(), whole.report.warningCount());
            EXPECT_EQ(report.linesRead, whole.report.linesRead);
        }
    }
}

class DiscardingSink final : public OutputSink {
public:
    bool write(std::string_view) override { return true; }
};

TEST(ProgramInPieces, AReadErrorFailsTheConversion) {
    for (int failAfter : {0, 2, 10}) {
        testing::PieceSource source(std::string(testing::kPlungeSource), 4);
        source.failAfterReads = failAfter;
        DiscardingSink sink;
        ConversionReport report;
        ConversionError error;
        EXPECT_FALSE(convertProgram(source, plungeOptions(), sink, report, error)) << failAfter;
        EXPECT_FALSE(error.reason.empty()) << failAfter;
    }
}

// A fault the first reading stops at is named by reading the text again; when the text read again
// holds no fault, the file changed between the readings and the conversion says so, not "".
TEST(ProgramInPieces, AFaultGoneWhenReadAgainIsAChangedFile) {
    const std::string clean = std::string(testing::kPlungeSource) + "N9G1X1\n";
    for (const std::string& faulty : {std::string(testing::kPlungeSource) + "N9G1Z-1e39\n",
                                     std::string(testing::kPlungeSource) + "N9G1X1" + '\0' + "\n"}) {
        for (const bool changes : {false, true}) {
            testing::PieceSource source(faulty, 7), again(faulty, 7);
            if (changes) source.laterText = again.laterText = clean;
            DiscardingSink sink;
            ConversionReport report;
            ConversionError error;
            EXPECT_FALSE(convertProgram(source, plungeOptions(), sink, report, error));
            struct : MoveSink {
                bool move(const Move&) override { return true; }
            } moves;
            ReplayError replayError;
            EXPECT_FALSE(replayTarvo(again, plungeOptions(), moves, replayError));
            const std::size_t line = std::count(testing::kPlungeSource.begin(), testing::kPlungeSource.end(), '\n') + 1;
            for (const auto& [at, reason] : {std::pair{error.line, error.reason}, {replayError.line, replayError.reason}}) {
                EXPECT_EQ(at, changes ? 0 : line) << faulty;
                EXPECT_EQ(reason == kSourceChanged, changes) << reason;
            }
        }
    }
}

// ---------------------------------------------------------------------------------------------
// Thickness

TEST(Thickness, ReadsOnlyStrictNumbers) {
    struct Case {
        std::string_view text;
        double value;
    };
    for (const Case& c : {Case{"0.75", 0.75}, Case{" \t0.75 \t", 0.75}, Case{"+.75", 0.75}, Case{"-0.5", -0.5},
                          Case{"5.", 5.0}, Case{"75e-2", 0.75}, Case{"75E-2", 0.75}, Case{"7.5d-1", 0.75},
                          Case{"0.0075D+2", 0.75}, Case{"18", 18.0},
                          Case{"9999999999.9999", 9999999999.9999}, Case{"-9999999999", -9999999999.0}}) {
        std::optional<double> value = thicknessValue(c.text);
        ASSERT_TRUE(value.has_value()) << "\"" << c.text << "\"";
        EXPECT_EQ(*value, c.value) << "\"" << c.text << "\"";
    }
    for (std::string_view text : {"", " ", ".", "-", "+", "0.75mm", "0.75 mm", "1,5", "- 1", "1 5", "1. 5", "1e",
                                  "1e+", "1 e2", "1e 2", "1.2.3", "&H10", "0x1", "inf", "nan", "1e400", "0.75\n",
                                  "\n0.75", "0.75;", "--1", "e5", "1e10", "-1e10", "12345678901", "1e300"}) {
        EXPECT_FALSE(thicknessValue(text).has_value()) << "\"" << text << "\"";
    }
}

TEST(Thickness, ANonNumberOrATooLargeOneRefusesTheConversion) {
    for (std::string_view text : {"", "0.75mm", "1,5", "abc", "1e15"}) {
        ConversionOptions options = baseOptions();
        options.thickness = std::string(text);
        ConversionResult result = convertProgram(testing::kPlungeSource, options);
        EXPECT_FALSE(result.converted) << text;
        EXPECT_TRUE(result.text.empty()) << text;
        EXPECT_NE(result.error.reason.find(std::string(text)), std::string::npos) << result.error.reason;
        EXPECT_NE(thicknessRefusal(text).find(std::string(text)), std::string::npos) << thicknessRefusal(text);
        EXPECT_NE(result.error.reason.find(text == "1e15" ? "too large" : "not a number"), std::string::npos)
            << result.error.reason;
    }
}

// ---------------------------------------------------------------------------------------------
// Report and strict mode

TEST(ConversionReport, CountsLinesBlocksPlungesAndToolCalls) {
    ConversionResult result = convertProgram(kWarningProgram, baseOptions());
    ASSERT_TRUE(result.converted) << describe(result);
    const ConversionReport& r = result.report;
    EXPECT_EQ(r.linesRead, 13u);
    EXPECT_EQ(r.blocksTranslated, 9u);
    EXPECT_EQ(r.linesDropped, 4u);
    EXPECT_EQ(r.plunges, 2u);
    EXPECT_EQ(r.toolCalls, 2u);
}

TEST(ConversionReport, WarnsOnceForEachThingWithItsLine) {
    ConversionResult result = convertProgram(kWarningProgram, baseOptions());
    ASSERT_TRUE(result.converted) << describe(result);
    struct Expected {
        WarningKind kind;
        std::vector<std::size_t> lines;
    };
    for (const Expected& e : {Expected{WarningKind::CommentedBlock, {6}}, Expected{WarningKind::UnnumberedWords, {7, 8}},
                              Expected{WarningKind::ArcWithoutCentre, {9}}, Expected{WarningKind::ToolOutsideHead, {3}},
                              Expected{WarningKind::ToolNotInTable, {12}},
                              Expected{WarningKind::SegmentWithoutZ, {12}}}) {
        std::vector<std::size_t> lines;
        for (const ConversionWarning& w : warningsOf(result.report, e.kind)) {
            lines.push_back(w.line);
            EXPECT_FALSE(w.text.empty());
        }
        EXPECT_EQ(lines, e.lines) << "warning kind " << static_cast<int>(e.kind);
    }
    EXPECT_EQ(result.report.warningCount(), 7u);
}

TEST(ConversionReport, WarningsDoNotChangeTheOutput) {
    ConversionResult result = convertProgram(kWarningProgram, baseOptions());
    ASSERT_TRUE(result.converted) << describe(result);
    EXPECT_EQ(bodyOf(result), preambleBody() + crlfLines({"G2X-4Y-4I0J0", "G0Z2M5", "", "(DIS, \"T7\")",
                                                          "G306T7h7S0D0Z9998.25", "M93", "G0X-5Y-5Z-9997.75",
                                                          "G1X-6Z-9999.25", "G1X-7"}));
}

TEST(ConversionReport, EveryWarningIsCountedEvenWhenNotAllAreListed) {
    std::string source(kPreamble);
    for (int i = 0; i < 120; ++i) {
        source += 'N';
        source += std::to_string(i + 10);
        source += "G1X1(NOTE)\n";
    }
    ConversionResult result = convertProgram(source, baseOptions());
    ASSERT_TRUE(result.converted) << describe(result);
    EXPECT_EQ(result.report.warningCount(), 120u);
    EXPECT_EQ(result.report.linesDropped, 120u);
    ASSERT_FALSE(result.report.warnings.empty());
    EXPECT_EQ(result.report.warnings.front().line, 4u);
    EXPECT_LE(result.report.warnings.size(), 120u);
}

TEST(StrictMode, AnyWarningFailsTheProgram) {
    ConversionOptions options = baseOptions();
    options.strict = true;
    ConversionResult result = convertProgram(kWarningProgram, options);
    EXPECT_FALSE(result.converted);
    EXPECT_TRUE(result.text.empty());
    EXPECT_EQ(result.error.line, 3u) << result.error.reason;
    EXPECT_FALSE(result.error.reason.empty());

    ConversionResult single = convertProgram(std::string(kPreamble) + "N9G2X1Y1\n", options);
    EXPECT_FALSE(single.converted);
    EXPECT_EQ(single.error.line, 4u) << single.error.reason;
}

TEST(StrictMode, AProgramWithoutWarningsConvertsAsUsual) {
    ConversionOptions options = plungeOptions();
    options.strict = true;
    ConversionResult result = convertProgram(testing::kPlungeSource, options);
    ASSERT_TRUE(result.converted) << describe(result);
    EXPECT_EQ(result.text, testing::plungeProgram());
}

TEST(ConversionWarnings, AProgramWithoutNumberedBlocksIsNamedAsSuch) {
    for (std::string_view source : {std::string_view(""), std::string_view("%\nO100 (PANEL)\nn10g1x1\n")}) {
        const ConversionResult result = convertProgram(source, baseOptions());
        ASSERT_TRUE(result.converted) << result.error.reason;
        const auto warnings = warningsOf(result.report, WarningKind::NoBlocks);
        ASSERT_EQ(warnings.size(), 1u) << source;
        EXPECT_EQ(warnings[0].line, 0u);
    }
    const ConversionResult numbered = convertProgram("N1G0X1\n", baseOptions());
    EXPECT_TRUE(warningsOf(numbered.report, WarningKind::NoBlocks).empty());
    ConversionOptions strict = baseOptions();
    strict.strict = true;
    EXPECT_FALSE(convertProgram("(ONLY A COMMENT)\n", strict).converted);
}

}  // namespace
}  // namespace pathshift

namespace pathshift {
namespace {

// A value that once stood for "not yet written" is written like any other; a byte-order mark in
// front of the first line is not part of it, in conversion and verification alike.
TEST(Conversion, SentinelValuesAndAByteOrderMarkAreOrdinaryInput) {
    struct Case {
        std::string thickness;
        std::string source;
        std::string line;  // a line the target must hold
    };
    const Case cases[] = {
        // No Z in the segment: level 9999, approach height -0.5 - 9999 + 0.5.
        {"-0.5", "N1T1005\nN2G0X1Y1\nN3G1X2\n", "G0X-1Y-1Z-9999"},
        // The first X and Y words written are -9999.
        {"0.75", "N1T1005\nN2G0X9999Y9999\nN3G1Z0\n", "G0X-9999Y-9999Z1.25"},
        {"0.75", "\xEF\xBB\xBFN1G21\nN2T1005\nN3G0X1Y1\nN4G1Z-0.25F100\n", "G71"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source);
        ConversionOptions options = baseOptions();
        options.thickness = c.thickness;
        const ConversionResult result = convertProgram(c.source, options);
        ASSERT_TRUE(result.converted) << result.error.reason;
        std::string lines = "\r\n", line = "\r\n";
        lines += result.text;
        line += c.line;
        line += "\r\n";
        EXPECT_NE(lines.find(line), std::string::npos) << result.text;
        EXPECT_EQ(result.report.linesDropped, 0u);
        const VerifyResult verified = verifyProgram(c.source, options);
        EXPECT_TRUE(verified.verified && verified.report.same()) << verified.error.reason;
        EXPECT_EQ(verified.report.movesChecked, 1u);
    }
}

}  // namespace
}  // namespace pathshift
