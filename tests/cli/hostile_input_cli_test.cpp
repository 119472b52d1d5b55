// pathshift-cli given what a hostile user or a failing machine gives it: FIFOs and endless files,
// numbers that are no numbers, unreadable converted programs, folders and files in each other's
// place, names holding control characters. (A nearly full disk: cli_test.cpp, the real program.)

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/cli_run.h"
#include "support/folder_test.h"

namespace pathshift {
namespace {

namespace fs = std::filesystem;

struct Refusal {
    std::vector<std::string> arguments;  // "@" stands for the test's folder
    int status;
    std::string message;
};

// Every case must end (not block on a FIFO, nor read an endless file) with its status and message.
using HostileCli = testing::FolderTest;

TEST_F(HostileCli, UnusableInputsAndOptionsAreRefusedWithTheirRealReason) {
    fs::create_directories(root / "tables");
    fs::create_directories(root / "settings");
    // Sparse: NULs without end in sight.
    const auto endless = [&](const std::string& name) { fs::resize_file(file(name, ""), 64u << 20); };
    ASSERT_EQ(::mkfifo((root / "fifo").c_str(), 0600), 0);
    file("part.nc", "N1G20\nN2T1005\nN3G0X1Y1\nN4G1Z-0.5F100\nN5X3\nN6G0Z1\n");
    file("a\nb\x1b[2J.nc", "N1G0X1Y1(a comment)\nN2T99999\n");
    file("empty.nc", "");
    file("plain", "a file");
    endless("ToolTbl.Dat");
    endless("settings/Tarvo2Selvix.INI");
    file("x1e400.nc", "E3= 1\n\"START\"\n(DIS, \"T5\")\nG306T5h3S0D0Z-0.5\nG0X-1Y-1Z1\nG1Z0F100\nG1X1e400\n");
    const std::string part = "@/part.nc";
    const std::vector<Refusal> cases = {
        {{"convert", "--thickness", "1", "--check", "@/fifo"}, 1, "@/fifo: is not a regular file"},
        {{"convert", "--thickness", "1", "--check", "--tool-table", "@/fifo", part}, 2, "is not a regular file"},
        {{"verify", "--thickness", "1", "--converted", "@/fifo", part}, 2, "is not a regular file"},
        {{"convert", "--thickness", "1", "--check", "--tool-table", "@/ToolTbl.Dat", part}, 2, "is larger than 8 MB"},
        {{"convert", "--settings=@/settings", "--check", part}, 2, "is larger than 4 MB"},
        {{"preview", "--thickness", "1", "--width", "nan", "-o", "@/p.svg", part}, 2, "not a finite number"},
        {{"preview", "--thickness", "1", "--width", "-nan", "-o", "@/p.svg", part}, 2, "not a finite number"},
        {{"verify", "--thickness", "1", "--converted", "@/empty.nc", part}, 2, "converted program cannot be read"},
        {{"verify", "--thickness", "1", "--converted", "@/x1e400.nc", part}, 2, "line 7: cannot read \"G1X1e400\""},
        {{"convert", "--thickness", "1", "--check", "--tool-table", "@/tables", part}, 2, "is a folder, not a tool table"},
        {{"convert", "--thickness", "1", "-o", "@/plain", part}, 1, "the destination @/plain is not a folder"},
        {{"convert", "--thickness", "1", "--check", "@/a\nb\x1b[2J.nc"}, 1, "\n'@/a'$'\\n''b'$'\\033''[2J.nc':2: "},
    };
    for (Refusal c : cases) {
        c.arguments.push_back(c.message);
        for (std::string& text : c.arguments)
            if (const std::size_t at = text.find('@'); at != std::string::npos) text.replace(at, 1, root.string());
        c.message = c.arguments.back();
        c.arguments.pop_back();
        const testing::CliOutcome o = testing::runCli(c.arguments);
        EXPECT_EQ(o.status, c.status) << c.message << "\n" << testing::printable(o);
        EXPECT_NE(("\n" + o.err).find(c.message), std::string::npos) << testing::printable(o);
    }
    EXPECT_FALSE(fs::exists(root / "p.svg"));
}

}  // namespace
}  // namespace pathshift
