// pathshift-cli verify called in this process: clean conversions, faults injected into converted programs
// (each reported with the source's and the target's line), exit status, the bundled examples.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/cli_run.h"
#include "support/folder_test.h"

namespace pathshift {
namespace {

namespace fs = std::filesystem;
using testing::CliOutcome;
using testing::printable;

// Inch, tool 1005 with a clockwise and a counter-clockwise arc, then tool 1007 one level higher.
constexpr std::string_view kSource =
    "%\nN10G20\nN20T1005\nN30G0X1Y1\nN40Z0.2\nN50G1Z-0.5F100\nN60X3\nN70G2X4Y2I0J1\nN80G3X5Y3I1J0\n"
    "N90G0Z0.5\nN100T1007\nN110G0X6Y6\nN120G1Z-0.25\nN130X7\nN140G0Z1\n";

class VerifyCli : public testing::FolderTest {
protected:
    void SetUp() override {
        FolderTest::SetUp();
        fs::create_directories(root / "out");
        source_ = file("part.nc", kSource);
    }
    CliOutcome run(const std::vector<std::string>& arguments) const { return testing::runCli(arguments); }
    // The converted program's lines, without their line ends.
    std::vector<std::string> converted() const {
        const CliOutcome o = run({"convert", "--thickness", "0.75", "--tool", "1005=3", "--stdout", source_});
        EXPECT_EQ(o.status, 0) << printable(o);
        std::vector<std::string> lines;
        std::size_t at = 0;
        while (at < o.out.size()) {
            const std::size_t end = o.out.find("\r\n", at);
            lines.push_back(o.out.substr(at, end - at));
            at = end + 2;
        }
        return lines;
    }
    static std::size_t lineOf(const std::vector<std::string>& lines, const std::string& line) {
        for (std::size_t k = 0; k < lines.size(); ++k)
            if (lines[k] == line) return k + 1;
        ADD_FAILURE() << "no line " << line;
        return 0;
    }
    CliOutcome verifyAgainst(const std::vector<std::string>& lines) const {
        std::string text;
        for (const std::string& line : lines) text += line + "\r\n";
        const std::string target = file("out/part.nc", text);
        return run({"verify", "--thickness", "0.75", "--tool", "1005=3", "--converted", target, source_});
    }
    // "part.nc:SOURCE: target line TARGET: "
    std::string at(int sourceLine, std::size_t targetLine) const {
        return source_ + ":" + std::to_string(sourceLine) + ": target line " + std::to_string(targetLine) + ": ";
    }

    std::string source_;
};

TEST_F(VerifyCli, a_faithful_conversion_has_no_difference) {
    const CliOutcome o = run({"verify", "--thickness", "0.75", "--tool", "1005=3", source_});
    EXPECT_EQ(o.status, 0) << printable(o);
    EXPECT_EQ(o.out, source_ + ": 6 moves checked, 0 differences, estimated machining time 0:00:30 (cutting 0:00:09, "
                               "rapid 0:00:01, tool changes 0:00:20)\n");
    EXPECT_EQ(o.err, "");
    EXPECT_EQ(verifyAgainst(converted()).status, 0);
}

TEST_F(VerifyCli, a_dropped_line_is_reported_with_both_lines) {
    std::vector<std::string> lines = converted();
    const std::size_t dropped = lineOf(lines, "G1X-3");
    lines.erase(lines.begin() + static_cast<long>(dropped - 1));
    const CliOutcome o = verifyAgainst(lines);
    EXPECT_EQ(o.status, 1) << printable(o);
    EXPECT_NE(o.out.find(at(7, dropped) + "the source's line to X3 Y1 Z-0.5 has no counterpart in the target"),
              std::string::npos)
        << printable(o);
    EXPECT_NE(o.out.find("6 moves checked, 1 difference, estimated machining time "), std::string::npos) << printable(o);
}

TEST_F(VerifyCli, a_flipped_sign_is_reported_with_both_lines) {
    std::vector<std::string> lines = converted();
    const std::size_t flipped = lineOf(lines, "G1X-3");
    lines[flipped - 1] = "G1X3";
    const CliOutcome o = verifyAgainst(lines);
    EXPECT_EQ(o.status, 1) << printable(o);
    EXPECT_NE(o.out.find(at(7, flipped) + "end X 3 in the source, -3 in the target"), std::string::npos)
        << printable(o);
}

TEST_F(VerifyCli, a_wrong_depth_is_reported_with_both_lines) {
    std::vector<std::string> lines = converted();
    const std::size_t call = lineOf(lines, "G306T7h7S0D0Z-1");
    lines[call - 1] = "G306T7h7S0D0Z-1.5";
    const CliOutcome o = verifyAgainst(lines);
    EXPECT_EQ(o.status, 1) << printable(o);
    // Both cuts of the second segment; the first is the plunge after the M93 and the rapid.
    EXPECT_NE(o.out.find(at(13, call + 3) + "end Z -0.25 in the source, -0.75 in the target; depth -1 in the "
                                            "source, -1.5 in the target"),
              std::string::npos)
        << printable(o);
    EXPECT_NE(o.out.find(at(14, call + 4)), std::string::npos) << printable(o);
    EXPECT_NE(o.out.find("6 moves checked, 2 differences, estimated machining time "), std::string::npos) << printable(o);
}

TEST_F(VerifyCli, a_wrong_tool_is_reported_with_both_lines) {
    std::vector<std::string> lines = converted();
    const std::size_t call = lineOf(lines, "G306T3h3S0D0Z-1.25");
    lines[call - 1] = "G306T2h3S0D0Z-1.25";
    const CliOutcome o = verifyAgainst(lines);
    EXPECT_EQ(o.status, 1) << printable(o);
    EXPECT_NE(o.out.find(at(6, call + 3) + "tool T3 in the source, T2 in the target"), std::string::npos)
        << printable(o);
    EXPECT_NE(o.out.find("6 moves checked, 4 differences, estimated machining time "), std::string::npos) << printable(o);
}

TEST_F(VerifyCli, millimetre_and_head_two_verify_clean) {
    const std::string mm = file("mm.nc", "N1G21\nN2T2012\nN3G0X10Y10\nN4G1Z-6\nN5G3X30Y10I10J0\nN6G2X50Y10I10J0\n");
    const CliOutcome o = run({"verify", "--thickness", "18", "--head", "2", "--tool", "2012=8", mm});
    EXPECT_EQ(o.status, 0) << printable(o);
    EXPECT_EQ(o.out.rfind(mm + ": 3 moves checked, 0 differences, estimated machining time ", 0), 0u) << o.out;
}

TEST_F(VerifyCli, programs_that_cannot_be_verified_and_usage_errors_exit_2) {
    CliOutcome o = run({"verify", "--thickness", "0.75", (root / "missing.nc").string()});
    EXPECT_EQ(o.status, 2) << printable(o);
    EXPECT_NE(o.err.find("missing.nc: cannot open"), std::string::npos) << printable(o);
    o = run({"verify", source_});
    EXPECT_EQ(o.status, 2) << printable(o);
    EXPECT_NE(o.err.find("--thickness is required"), std::string::npos);
    o = run({"verify", "--thickness", "thick", source_});
    EXPECT_EQ(o.status, 2) << printable(o);
    const std::string overflow = file("overflow.nc", "N1G0X1\nN2T99999\n");
    o = run({"verify", "--thickness", "0.75", overflow});
    EXPECT_EQ(o.status, 2) << printable(o);
    EXPECT_NE(o.err.find("overflow.nc:2: "), std::string::npos) << printable(o);
    o = run({"verify", "--thickness", "0.75", "--converted", source_, source_, source_});
    EXPECT_EQ(o.status, 2) << printable(o);
    // A difference in one program and a clean other: every program is verified, the status is 1.
    std::vector<std::string> lines = converted();
    lines[lineOf(lines, "G1X-3") - 1] = "G1X3";
    EXPECT_EQ(verifyAgainst(lines).status, 1);
}

TEST_F(VerifyCli, quiet_prints_only_what_differs) {
    const CliOutcome o = run({"verify", "-q", "--thickness", "0.75", "--tool", "1005=3", source_});
    EXPECT_EQ(o.status, 0) << printable(o);
    EXPECT_EQ(o.out, "");
}

TEST_F(VerifyCli, the_bundled_examples_verify_clean) {
    const fs::path examples = PATHSHIFT_EXAMPLES;
    const std::string table = (examples / "ToolTbl.Dat").string();
    struct Example {
        const char* file;
        std::vector<std::string> options;
    };
    for (const Example& e : {Example{"cabinet_side.nc", {"--thickness", "0.75"}},
                             Example{"door_panel_mm.nc", {"--thickness", "18", "--dfs"}},
                             Example{"sign_letters_head2.nc", {"--thickness", "0.5", "--head", "2"}}}) {
        std::vector<std::string> arguments{"verify", "--tool-table", table};
        arguments.insert(arguments.end(), e.options.begin(), e.options.end());
        arguments.push_back((examples / e.file).string());
        const CliOutcome o = run(arguments);
        EXPECT_EQ(o.status, 0) << e.file << "\n" << printable(o);
        EXPECT_NE(o.out.find(" moves checked, 0 differences"), std::string::npos) << printable(o);
    }
}

}  // namespace
}  // namespace pathshift
