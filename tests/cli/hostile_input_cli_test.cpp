// pathshift-cli given what a hostile user or a failing machine gives it: FIFOs and endless files,
// numbers that are no numbers, unreadable converted programs, folders and files in each other's
// place, a nearly full disk, names holding control characters.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "support/cli_process.h"

namespace pathshift {
namespace {

namespace fs = std::filesystem;

struct Refusal {
    std::vector<std::string> arguments;  // "@" stands for the test's folder
    int status;
    std::string message;
};

// Every case must end (not block on a FIFO, nor read an endless file) with its status and message.
// Each runs where a file can grow by at most 1 KB, as on a nearly full disk.
TEST(HostileCli, UnusableInputsAndOptionsAreRefusedWithTheirRealReason) {
    const fs::path folder = fs::temp_directory_path() / "pathshift-hostile-cli";
    fs::remove_all(folder);
    fs::create_directories(folder / "tables");
    fs::create_directories(folder / "settings");
    fs::create_directories(folder / "out");
    const auto write = [&](const std::string& name, std::string_view text, std::uintmax_t size = 0) {
        std::ofstream(folder / name, std::ios::binary) << text;
        if (size > 0) fs::resize_file(folder / name, size);  // sparse: NULs without end in sight
    };
    ASSERT_EQ(::mkfifo((folder / "fifo").c_str(), 0600), 0);
    write("part.nc", "N1G20\nN2T1005\nN3G0X1Y1\nN4G1Z-0.5F100\nN5X3\nN6G0Z1\n");
    write("a\nb\x1b[2J.nc", "N1G0X1Y1(a comment)\nN2T99999\n");
    write("empty.nc", "");
    write("plain", "a file");
    write("ToolTbl.Dat", "", 64u << 20);
    write("settings/Tarvo2Selvix.INI", "", 64u << 20);
    write("x1e400.nc", "E3= 1\n\"START\"\n(DIS, \"T5\")\nG306T5h3S0D0Z-0.5\nG0X-1Y-1Z1\nG1Z0F100\nG1X1e400\n");
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
        {{"preview", "--thickness", "1", "-o", "@/out/p.svg", part}, 1, "cannot write @/out/p.svg: File too large"},
        {{"convert", "--thickness", "1", "--check", "@/a\nb\x1b[2J.nc"}, 1, "\n'@/a'$'\\n''b'$'\\033''[2J.nc':2: "},
    };
    for (Refusal c : cases) {
        c.arguments.push_back(c.message);
        for (std::string& text : c.arguments)
            if (const std::size_t at = text.find('@'); at != std::string::npos) text.replace(at, 1, folder.string());
        c.message = c.arguments.back();
        c.arguments.pop_back();
        std::vector<std::string> arguments{"-c", "ulimit -f 1; trap '' XFSZ; exec \"$0\" \"$@\"", PATHSHIFT_CLI};
        arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
        const testing::CliOutcome o = testing::runProgram("/bin/bash", arguments, folder / "tables");
        EXPECT_EQ(o.status, c.status) << c.message << "\n" << testing::printable(o);
        EXPECT_NE(("\n" + o.err).find(c.message), std::string::npos) << testing::printable(o);
    }
    EXPECT_FALSE(fs::exists(folder / "p.svg"));
    EXPECT_TRUE(fs::is_empty(folder / "out"));
    fs::remove_all(folder);
}

}  // namespace
}  // namespace pathshift
