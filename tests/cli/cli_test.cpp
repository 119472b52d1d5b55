// pathshift-cli's commands called in this process: options, exit status, what goes to standard output
// and standard error, and which files are written.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "engine/translation/tool_table.h"
#include "engine/translation/tool_table_file.h"
#include "support/cli_run.h"
#include "support/folder_test.h"
#include "support/program_text.h"

namespace pathshift {
namespace {

namespace fs = std::filesystem;
using Outcome = testing::CliOutcome;
using testing::crlfLines;
using testing::printable;
using testing::readWhole;
using testing::selvixProgram;

class Cli : public testing::FolderTest {
protected:
    void SetUp() override {
        FolderTest::SetUp();
        source = root / "source";
        destination = root / "out";
        fs::create_directory(source);
        fs::create_directory(destination);
    }

    Outcome run(const std::vector<std::string>& arguments) { return testing::runCli(arguments); }
    std::string sourceFile(const std::string& name, std::string_view text) { return file("source/" + name, text); }

    std::map<std::string, std::string> written() const {
        std::map<std::string, std::string> found;
        for (const auto& entry : fs::directory_iterator(destination))
            found[entry.path().filename().string()] = readWhole(entry.path());
        return found;
    }

    fs::path source, destination;
};

constexpr std::string_view kBadTool = "N1T1005\nN2G0X0Y0\nN3T99999\nN4G1Z-0.25F100\n";
constexpr std::string_view kMissingTool = "N1T1007\nN2G0X0Y0\nN3G1Z-0.25F100\n";

std::vector<std::string> plungeArguments() {
    return {"convert", "--thickness", "0.75", "--head", "1", "--dfs", "--tool", "1005=3"};
}

std::vector<std::string> operator+(std::vector<std::string> a, const std::vector<std::string>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// ---------------------------------------------------------------------------------------------
// Help and version

TEST_F(Cli, HelpDescribesTheConversionWithExamples) {
    const Outcome top = run({"--help"});
    EXPECT_EQ(top.status, 0) << printable(top);
    EXPECT_NE(top.out.find("convert"), std::string::npos) << printable(top);

    const Outcome help = run({"convert", "--help"});
    EXPECT_EQ(help.status, 0) << printable(help);
    for (const char* expected : {"--thickness", "--head", "--dfs", "--ips-feed", "--tool", "--tool-table", "--stdout",
                                 "--check", "--quiet", "--strict", "xample", "pathshift-cli convert --thickness"})
        EXPECT_NE(help.out.find(expected), std::string::npos) << expected << "\n" << printable(help);
}

TEST_F(Cli, VersionPrintsTheProgramAndItsVersion) {
    const Outcome o = run({"--version"});
    EXPECT_EQ(o.status, 0) << printable(o);
    const std::string all = o.out + o.err;
    EXPECT_NE(all.find_first_of("0123456789"), std::string::npos) << printable(o);
    EXPECT_NE(all.find('.'), std::string::npos) << printable(o);
}

// ---------------------------------------------------------------------------------------------
// Usage errors

TEST_F(Cli, UsageErrorsExitWithTwoAndWriteNothing) {
    const std::string a = sourceFile("a.nc", testing::kPlungeSource);
    const std::string b = sourceFile("b.nc", testing::kPlungeSource);
    const std::string out = destination.string();
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"convert"},
        {"frobnicate", a},
        {"convert", "-o", out, a},
        {"convert", "--thickness", "0.75", "-o", out},
        {"convert", "--thickness", "0.75", a},
        {"convert", "--thickness", "0.75", "--head", "3", "-o", out, a},
        {"convert", "--thickness", "0.75", "--head", "0", "-o", out, a},
        {"convert", "--thickness", "0.75", "--head", "x", "-o", out, a},
        {"convert", "--thickness", "0.75", "-o", out, "--stdout", a},
        {"convert", "--thickness", "0.75", "--stdout", a, b},
        {"convert", "--thickness", "0.75mm", "-o", out, a},
        {"convert", "--thickness", "", "-o", out, a},
        {"convert", "--thickness", "1,5", "--stdout", a},
        {"convert", "--thickness", "0.75", "--frobnicate", "-o", out, a},
        {"convert", "--thickness", "0.75", "--tool", "1005", "-o", out, a},
        {"convert", "--thickness", "0.75", "-o"},
    };
    for (const auto& arguments : cases) {
        const Outcome o = run(arguments);
        std::string shown;
        for (const std::string& s : arguments) shown += " " + s;
        EXPECT_EQ(o.status, 2) << "pathshift-cli" << shown << "\n" << printable(o);
        EXPECT_FALSE(o.err.empty()) << "pathshift-cli" << shown << ": a usage error says why";
        EXPECT_TRUE(o.out.find("G306") == std::string::npos) << shown;
        EXPECT_TRUE(written().empty()) << "pathshift-cli" << shown;
    }
}

// ---------------------------------------------------------------------------------------------
// Converting

TEST_F(Cli, StdoutCarriesExactlyTheConvertedProgram) {
    const std::string a = sourceFile("a.nc", testing::kPlungeSource);
    const Outcome o = run(plungeArguments() + std::vector<std::string>{"--stdout", a});
    EXPECT_EQ(o.status, 0) << printable(o);
    EXPECT_EQ(o.out, testing::plungeProgram());
    EXPECT_TRUE(written().empty());
}

TEST_F(Cli, OutputFolderGetsOneFilePerSourceAndASummary) {
    const std::string a = sourceFile("a.nc", testing::kPlungeSource);
    const std::string b = sourceFile("b.nc", testing::kPlungeSource);
    const Outcome o = run(plungeArguments() + std::vector<std::string>{"-o", destination.string(), a, b});
    EXPECT_EQ(o.status, 0) << printable(o);
    EXPECT_EQ(written(), (std::map<std::string, std::string>{{"a.nc", testing::plungeProgram()},
                                                             {"b.nc", testing::plungeProgram()}}));
    EXPECT_NE(o.out.find("a.nc"), std::string::npos) << printable(o);
    EXPECT_NE(o.out.find("b.nc"), std::string::npos) << printable(o);
    // Rapids 6.56 in at 100 in/min, cuts 2.75 in at F100, one tool call.
    const Outcome timed = run(plungeArguments() + std::vector<std::string>{"--rapid-rate", "2540", "--tool-change-time",
                                                                           "7", "--check", a});
    EXPECT_NE(timed.out.find(", estimated machining time 0:00:13 (cutting 0:00:02, rapid 0:00:04, tool changes 0:00:07)\n"),
              std::string::npos)
        << printable(timed);
    // Standard error is not a terminal here: no progress line.
    EXPECT_EQ(o.err.find_first_of("\r\033"), std::string::npos) << printable(o);
}

TEST_F(Cli, AFailedFileIsReportedWithItsLineAndTheOthersAreWritten) {
    const std::string a = sourceFile("a.nc", testing::kPlungeSource);
    const std::string bad = sourceFile("bad.nc", kBadTool);
    const std::string c = sourceFile("c.nc", testing::kPlungeSource);
    const Outcome o = run(plungeArguments() + std::vector<std::string>{"-o", destination.string(), a, bad, c});
    EXPECT_EQ(o.status, 1) << printable(o);
    EXPECT_NE(o.err.find(bad + ":3: "), std::string::npos) << printable(o);
    EXPECT_EQ(written(), (std::map<std::string, std::string>{{"a.nc", testing::plungeProgram()},
                                                             {"c.nc", testing::plungeProgram()}}));
}

TEST_F(Cli, AMissingSourceIsReportedByNameAndTheOthersAreWritten) {
    const std::string missing = (source / "missing.nc").string();
    const std::string a = sourceFile("a.nc", testing::kPlungeSource);
    const Outcome o = run(plungeArguments() + std::vector<std::string>{"-o", destination.string(), missing, a});
    EXPECT_EQ(o.status, 1) << printable(o);
    EXPECT_NE(o.err.find(missing + ": "), std::string::npos) << printable(o);
    EXPECT_EQ(written(), (std::map<std::string, std::string>{{"a.nc", testing::plungeProgram()}}));
}

TEST_F(Cli, FailuresOnStdoutRunsPrintNothingOnStdout) {
    const std::string bad = sourceFile("bad.nc", kBadTool);
    const Outcome o = run(plungeArguments() + std::vector<std::string>{"--stdout", bad});
    EXPECT_EQ(o.status, 1) << printable(o);
    EXPECT_EQ(o.out, "");
    EXPECT_NE(o.err.find(bad + ":3: "), std::string::npos) << printable(o);
}

TEST_F(Cli, TheSourceFolderAsDestinationNeverReplacesTheSource) {
    const std::string a = sourceFile("a.nc", testing::kPlungeSource);
    const Outcome o = run(plungeArguments() + std::vector<std::string>{"-o", source.string(), a});
    EXPECT_EQ(o.status, 1) << printable(o);
    EXPECT_NE(o.err.find(a), std::string::npos) << printable(o);
    EXPECT_EQ(readWhole(a), testing::kPlungeSource);
    EXPECT_EQ(std::distance(fs::directory_iterator(source), fs::directory_iterator()), 1);
}

TEST_F(Cli, AMissingDestinationFolderFailsEveryFile) {
    const std::string a = sourceFile("a.nc", testing::kPlungeSource);
    const fs::path missing = root / "missing";
    const Outcome o = run(plungeArguments() + std::vector<std::string>{"-o", missing.string(), a});
    EXPECT_NE(o.status, 0) << printable(o);
    EXPECT_NE(o.err.find(a), std::string::npos) << printable(o);
    EXPECT_FALSE(fs::exists(missing));
}

TEST_F(Cli, WarningsNameTheFileAndLine) {
    const std::string a = sourceFile("a.nc", kMissingTool);
    const Outcome o = run(plungeArguments() + std::vector<std::string>{"-o", destination.string(), a});
    EXPECT_EQ(o.status, 0) << printable(o);
    EXPECT_NE(o.err.find(a + ":3: warning: "), std::string::npos) << printable(o);
    EXPECT_EQ(written().size(), 1u);
}

TEST_F(Cli, AProgramWithoutNumberedBlocksIsWrittenButCountedApart) {
    const std::string a = sourceFile("a.nc", "%\nO100 (PANEL)\n");
    const Outcome o = run(plungeArguments() + std::vector<std::string>{"-o", destination.string(), a});
    EXPECT_EQ(o.status, 0) << printable(o);
    EXPECT_EQ(o.out.rfind("nothing to convert: no numbered block: " + a, 0), 0u) << printable(o);
    EXPECT_EQ(written().size(), 1u);
}

TEST_F(Cli, AToolCellThatIsNotANumberIsNamedWithItsRow) {
    const std::string a = sourceFile("a.nc", testing::kPlungeSource);
    const Outcome o = run({"convert", "--thickness", "0.75", "--tool", "1005=abc", "--stdout", a});
    EXPECT_EQ(o.status, 0) << printable(o);
    EXPECT_NE(o.err.find("row 1 for tool 1005: the Selvix cell \"abc\" is not a number"), std::string::npos)
        << printable(o);
}

TEST_F(Cli, StrictTurnsWarningsIntoFailures) {
    const std::string a = sourceFile("a.nc", kMissingTool);
    const std::string b = sourceFile("b.nc", testing::kPlungeSource);
    const Outcome o = run(plungeArguments() + std::vector<std::string>{"--strict", "-o", destination.string(), a, b});
    EXPECT_EQ(o.status, 1) << printable(o);
    EXPECT_NE(o.err.find(a + ":3: "), std::string::npos) << printable(o);
    EXPECT_EQ(written(), (std::map<std::string, std::string>{{"b.nc", testing::plungeProgram()}}));

    const Outcome toStdout = run(plungeArguments() + std::vector<std::string>{"--strict", "--stdout", a});
    EXPECT_EQ(toStdout.status, 1) << printable(toStdout);
    EXPECT_EQ(toStdout.out, "");
}

TEST_F(Cli, CheckConvertsAndReportsButWritesNothing) {
    const std::string a = sourceFile("a.nc", kMissingTool);
    const std::string bad = sourceFile("bad.nc", kBadTool);
    const Outcome ok = run(plungeArguments() + std::vector<std::string>{"--check", a});
    EXPECT_EQ(ok.status, 0) << printable(ok);
    EXPECT_NE(ok.err.find(a + ":3: warning: "), std::string::npos) << printable(ok);
    const Outcome failed = run(plungeArguments() + std::vector<std::string>{"--check", a, bad});
    EXPECT_EQ(failed.status, 1) << printable(failed);
    EXPECT_NE(failed.err.find(bad + ":3: "), std::string::npos) << printable(failed);
    EXPECT_EQ(std::distance(fs::directory_iterator(source), fs::directory_iterator()), 2);
    EXPECT_TRUE(written().empty());
}

TEST_F(Cli, QuietPrintsOnlyFailures) {
    const std::string a = sourceFile("a.nc", testing::kPlungeSource);
    const std::string bad = sourceFile("bad.nc", kBadTool);
    const Outcome ok = run(plungeArguments() + std::vector<std::string>{"--quiet", "-o", destination.string(), a});
    EXPECT_EQ(ok.status, 0) << printable(ok);
    EXPECT_EQ(ok.out, "");
    EXPECT_EQ(ok.err, "");
    EXPECT_EQ(written().size(), 1u);
    const Outcome failed = run(plungeArguments() + std::vector<std::string>{"-q", "-o", destination.string(), bad});
    EXPECT_EQ(failed.status, 1) << printable(failed);
    EXPECT_EQ(failed.out, "");
    EXPECT_NE(failed.err.find(bad + ":3: "), std::string::npos) << printable(failed);
}

// ---------------------------------------------------------------------------------------------
// Option values

TEST_F(Cli, HeadAndFeedOptionsReachTheConversion) {
    const std::string a = sourceFile("a.nc", "N1G20\nN2T2005\nN3G0X0Y0\nN4G1Z-0.25F120\n");
    const Outcome o = run({"convert", "--thickness", "0.75", "--head", "2", "--ips-feed", "--tool", "2005=4", "--stdout", a});
    EXPECT_EQ(o.status, 0) << printable(o);
    EXPECT_EQ(o.out, selvixProgram("G70", "0.75",
                                   crlfLines({"G0Z2M5", "", "(DIS, \"T4\")", "G306T4h4S0D0Z-1", "M93", "G0X0Y0Z1.5",
                                              "G1Z0F2"})))
        << printable(o);
    const Outcome head1 = run({"convert", "--thickness", "0.75", "--tool", "2005=4", "--stdout", a});
    EXPECT_EQ(head1.status, 0) << printable(head1);
    EXPECT_NE(head1.out.find("(DIS, \"T0\")\r\nG306T0h0S0D0Z-1\r\n"), std::string::npos) << printable(head1);
    EXPECT_NE(head1.out.find("\r\nG1Z0F120\r\n"), std::string::npos) << printable(head1);
}

TEST_F(Cli, ValuesBeginningWithAMinusSignAreValues) {
    const std::string a = sourceFile("a.nc", "N1T1001\nN2G0X0Y0\nN3G1Z-0.25F100\n");
    const Outcome o = run({"convert", "--thickness", "-0.5", "--tool", "1001=-3", "--stdout", a});
    EXPECT_EQ(o.status, 0) << printable(o);
    // Depth -0.25 - -0.5 and approach height -0.5 + 0.25 + 0.5 are both 0.25.
    EXPECT_EQ(o.out, selvixProgram("", "-0.5",
                                   crlfLines({"G0Z2M5", "", "(DIS, \"T-3\")", "G306T-3h-3S0D0Z0.25", "M93",
                                              "G0X0Y0Z0.25", "G1Z0F100"})))
        << printable(o);
}

TEST_F(Cli, ToolRowsKeepTheirOrderAndTheirBlanks) {
    const std::string a = sourceFile("a.nc", "N1T1005\nN2G0X0Y0\nN3G1Z-0.25F100\n");
    struct Case {
        std::vector<std::string> tools;
        std::string called;
    };
    for (const Case& c : {Case{{"1005=3", "1005=8"}, "T3"}, Case{{"1005=8", "1005=3"}, "T8"},
                          Case{{" 1005 = 4 "}, "T4"}, Case{{"1005==7"}, "T0"}, Case{{"1005=7=8"}, "T7"},
                          Case{{"1006=1", "1005=12.5"}, "T12"}, Case{{"1005="}, "T0"}, Case{{"=1005"}, "T5"}}) {
        std::vector<std::string> arguments{"convert", "--thickness", "0.75"};
        for (const std::string& tool : c.tools) arguments.insert(arguments.end(), {"--tool", tool});
        arguments.insert(arguments.end(), {"--stdout", a});
        const Outcome o = run(arguments);
        EXPECT_EQ(o.status, 0) << printable(o);
        EXPECT_NE(o.out.find("(DIS, \"" + c.called + "\")\r\nG306" + c.called + "h"), std::string::npos)
            << c.tools.front() << " should call " << c.called << "\n" << printable(o);
    }
}

TEST_F(Cli, TheToolTableFileIsUsed) {
    const std::string a = sourceFile("a.nc", testing::kPlungeSource);
    const fs::path table = root / "ToolTbl.Dat";
    std::string error;
    ASSERT_TRUE(saveToolTable(table, ToolTable(std::vector<ToolRow>{{" 1005", "3"}}), error)) << error;
    const Outcome o = run({"convert", "--thickness", "0.75", "--dfs", "--tool-table", table.string(), "--stdout", a});
    EXPECT_EQ(o.status, 0) << printable(o);
    EXPECT_EQ(o.out, testing::plungeProgram());
}

TEST_F(Cli, ADamagedToolTableStopsTheRunWithItsName) {
    const std::string a = sourceFile("a.nc", testing::kPlungeSource);
    const fs::path table = root / "ToolTbl.Dat";
    for (std::string_view damaged : {"not a tool table\n", "Pathshift tool table 1\nrows 2\n1005 3 4\n",
                                     "Pathshift tool table 1\nrows 1\n1005\t\\q\n"}) {
        file("ToolTbl.Dat", damaged);
        const Outcome o = run(plungeArguments() +
                              std::vector<std::string>{"--tool-table", table.string(), "-o", destination.string(), a});
        EXPECT_NE(o.status, 0) << printable(o);
        EXPECT_NE(o.err.find(table.string()), std::string::npos) << printable(o);
        EXPECT_TRUE(written().empty());
    }
}

// ---------------------------------------------------------------------------------------------
// The real program, started as a user starts it: what only a process shows (the exit status, the
// bytes that reach a real standard output, a closed standard output, a disk that takes no more).

struct ProgramCase {
    std::string shell;  // how bash starts the program: "$0" is the program, "$@" the arguments
    std::vector<std::string> arguments;
    int status;
    std::string out;  // the whole standard output, or "*" and a part of it
    std::string err;  // a part of standard error
};

TEST_F(Cli, TheRealProgramExitsAndWritesAsCalled) {
    const std::string a = sourceFile("a.nc", testing::kPlungeSource);
    const std::string bad = sourceFile("bad.nc", kBadTool);
    const std::string exec = "exec \"$0\" \"$@\"";
    const std::string picture = (destination / "p.svg").string();
    const std::vector<std::string> toStdout = plungeArguments() + std::vector<std::string>{"--stdout", a};
    const std::vector<ProgramCase> cases = {
        {exec, {"--help"}, 0, "*pathshift-cli convert --help", ""},
        {exec, {"convert", "-o", destination.string(), a}, 2, "", "--thickness is required"},
        {exec, toStdout, 0, testing::plungeProgram(), ""},
        {exec, plungeArguments() + std::vector<std::string>{"--stdout", bad}, 1, "", bad + ":3: "},
        {exec + " >&-", toStdout, 1, "", "cannot write to standard output"},
        {"ulimit -f 1; trap '' XFSZ; " + exec, {"preview", "--thickness", "1", "-o", picture, a}, 1, "",
         "cannot write " + picture + ": File too large"},
    };
    for (const ProgramCase& c : cases) {
        const std::vector<std::string> bash{"-c", c.shell, PATHSHIFT_CLI};
        const Outcome o = testing::runProgram("/bin/bash", bash + c.arguments, root);
        EXPECT_EQ(o.status, c.status) << c.shell << "\n" << printable(o);
        if (c.out.starts_with('*'))
            EXPECT_NE(o.out.find(c.out.substr(1)), std::string::npos) << printable(o);
        else
            EXPECT_EQ(o.out, c.out) << printable(o);
        EXPECT_NE(o.err.find(c.err), std::string::npos) << printable(o);
    }
    EXPECT_TRUE(written().empty());
}

}  // namespace
}  // namespace pathshift
