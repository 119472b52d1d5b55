// pathshift-cli given what a hostile user or a failing machine gives it: FIFOs and endless files,
// numbers that are no numbers, unreadable converted programs, folders and files in each other's
// place, a full disk, names holding control characters.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "support/cli_process.h"

namespace pathshift {
namespace {

namespace fs = std::filesystem;
using testing::CliOutcome;
using testing::printable;

constexpr std::string_view kSource = "N1G20\nN2T1005\nN3G0X1Y1\nN4G1Z-0.5F100\nN5X3\nN6G0Z1\n";

class HostileCli : public ::testing::Test {
protected:
    void SetUp() override {
        folder = fs::temp_directory_path() /
                 ("pathshift-hostile-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(folder);
        fs::create_directories(folder / "out");
        fs::create_directories(folder / "streams");
        source = write("part.nc", kSource);
    }
    void TearDown() override { fs::remove_all(folder); }

    std::string write(const std::string& name, std::string_view text) const {
        const fs::path path = folder / name;
        std::ofstream(path, std::ios::binary) << text;
        return path.string();
    }
    CliOutcome run(const std::vector<std::string>& arguments) const {
        return testing::runProgram(PATHSHIFT_CLI, arguments, folder / "streams");
    }

    fs::path folder;
    std::string source;
};

struct Refusal {
    std::vector<std::string> arguments;  // "@" stands for the test's folder
    int status;
    std::string message;
};

// Every case must end (not block on a FIFO or read an endless file) with its status and message.
TEST_F(HostileCli, UnusableInputsAndOptionsAreRefusedWithTheirRealReason) {
    const std::string f = folder.string();
    ASSERT_EQ(::mkfifo((f + "/fifo").c_str(), 0600), 0);
    fs::create_directory(folder / "tables");
    fs::create_directory(folder / "settings");
    write("empty.nc", "");
    write("plain", "a file");
    std::ofstream(folder / "ToolTbl.Dat").close();
    fs::resize_file(folder / "ToolTbl.Dat", 64u << 20);  // sparse: 64 MB of NULs
    std::ofstream(folder / "settings" / "Tarvo2Selvix.INI").close();
    fs::resize_file(folder / "settings" / "Tarvo2Selvix.INI", 64u << 20);
    write("x1e400.nc", "%\nE3= 0.75\n\"START\"\nG0Z2M5\n(DIS, \"T3\")\nG306T3h3S0D0Z-0.5\nG0X-1Y-1Z1\nG1Z0F100\n"
                       "G1X1e400\n\"END\"\n");
    const std::vector<Refusal> cases = {
        {{"convert", "--thickness", "1", "--check", "@/fifo"}, 1, "is not a regular file"},
        {{"convert", "--thickness", "1", "--check", "--tool-table", "@/fifo", source}, 2, "is not a regular file"},
        {{"verify", "--thickness", "1", "--converted", "@/fifo", source}, 2, "is not a regular file"},
        {{"convert", "--thickness", "1", "--check", "--tool-table", "@/ToolTbl.Dat", source}, 2, "is larger than"},
        {{"convert", "--settings=@/settings", "--check", source}, 2, "is larger than"},
        {{"preview", "--thickness", "1", "--width", "nan", "-o", "@/p.svg", source}, 2, "not a finite number"},
        {{"preview", "--thickness", "1", "--width", "-nan", "-o", "@/p.svg", source}, 2, "not a finite number"},
        {{"verify", "--thickness", "1", "--converted", "@/empty.nc", source}, 2, "converted program cannot be read"},
        {{"verify", "--thickness", "1", "--converted", "@/x1e400.nc", source}, 2, "has an exponent"},
        {{"convert", "--thickness", "1", "--check", "--tool-table", "@/tables", source}, 2,
         "is a folder, not a tool table"},
        {{"convert", "--thickness", "1", "-o", "@/plain", source}, 1, "plain is not a folder"},
    };
    for (Refusal c : cases) {
        for (std::string& a : c.arguments)
            if (const std::size_t at = a.find('@'); at != std::string::npos) a.replace(at, 1, f);
        const CliOutcome o = run(c.arguments);
        const std::string shown = c.arguments[0] + " " + c.arguments[c.arguments.size() - 2] + ": " + printable(o);
        EXPECT_EQ(o.status, c.status) << shown;
        EXPECT_NE(o.err.find(c.message), std::string::npos) << shown;
    }
    EXPECT_FALSE(fs::exists(folder / "p.svg"));
}

// A full disk under the picture: the message names the picture and the system's reason.
TEST_F(HostileCli, APictureThatCannotBeWrittenIsNamed) {
    const std::string picture = (folder / "out" / "part.svg").string();
    const CliOutcome o = testing::runProgram(
        "/bin/bash",
        {"-c", "ulimit -f 1; trap '' XFSZ; exec \"$0\" \"$@\"", PATHSHIFT_CLI, "preview", "--thickness", "1", "-o",
         picture, source},
        folder / "streams");
    EXPECT_EQ(o.status, 1) << printable(o);
    EXPECT_NE(o.err.find("cannot write " + picture + ": File too large"), std::string::npos) << printable(o);
    EXPECT_TRUE(fs::is_empty(folder / "out"));
}

// Every message stays one line, however the file is named.
TEST_F(HostileCli, NamesWithControlCharactersStayOnTheirLine) {
    const std::string named = write("a\nb\x1b[2J.nc", "N1G0X1Y1(a comment)\nN2T99999\n");
    const CliOutcome o = run({"convert", "--thickness", "1", "-o", (folder / "out").string(), named});
    EXPECT_EQ(o.status, 1) << printable(o);
    const std::string shown = "'" + folder.string() + "/a'$'\\n''b'$'\\033''[2J.nc'";
    std::istringstream lines(o.err);
    int count = 0;
    for (std::string line; std::getline(lines, line); ++count)
        EXPECT_TRUE(line.starts_with(shown + ":")) << line << "\n" << printable(o);
    EXPECT_EQ(count, 2) << printable(o);
}

}  // namespace
}  // namespace pathshift
