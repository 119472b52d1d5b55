// Conversion runs over files in temporary folders: outputs named after their sources, failed files
// leaving nothing behind, sources never replaced, refused runs touching nothing, progress.

#include "engine/runs/file_run.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "engine/io/atomic_file.h"
#include "engine/io/text_source.h"
#include "support/program_text.h"

namespace pathshift {
namespace {

namespace fs = std::filesystem;
using testing::crlfLines;
using testing::selvixProgram;

ConversionOptions plungeOptions() {
    ConversionOptions options;
    options.thickness = "0.75";
    options.head = Head::One;
    options.dfs = true;
    options.tools.appendRow({"1005", "3"});
    return options;
}

constexpr std::string_view kSecondSource = "N1G21\nN2T1005S9000\nN3G0X10Y20\nN4G1Z-0.25F3000\nN5G2X12Y20I1J0\n";

std::string secondProgram() {
    return selvixProgram("G71", "0.75",
                         crlfLines({"G0Z2M5", "", "(DIS, \"T3\")", "G306T3h3S9000D1Z-1", "M93", "G0X-10Y-20Z1.5",
                                    "G1Z0F3000", "G2X-12I-11J-20"}));
}

class FileRun : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "filerun-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        root = pattern;
        source = root / "source";
        destination = root / "destination";
        fs::create_directory(source);
        fs::create_directory(destination);
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(root, ec);
    }

    static void write(const fs::path& path, std::string_view text) {
        std::ofstream out(path, std::ios::binary);
        out.write(text.data(), static_cast<std::streamsize>(text.size()));
        ASSERT_TRUE(out.good()) << path;
    }
    static std::string read(const fs::path& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    // Every entry of a folder with its content ("/" for folders).
    static std::map<std::string, std::string> contents(const fs::path& folder) {
        std::map<std::string, std::string> found;
        for (const auto& entry : fs::directory_iterator(folder))
            found[entry.path().filename().string()] = entry.is_directory() ? "/" : read(entry.path());
        return found;
    }
    fs::path sourceFile(const std::string& name, std::string_view text) {
        const fs::path path = source / name;
        write(path, text);
        return path;
    }

    fs::path root, source, destination;
};

std::string describe(const FileResult& file) {
    return file.source.string() + ": converted=" + std::to_string(file.converted) + " line " +
           std::to_string(file.error.line) + " \"" + file.error.reason + "\"";
}

TEST_F(FileRun, TwoFilesGiveTwoOutputsNamedAfterTheirSources) {
    const fs::path a = sourceFile("part1.nc", testing::kPlungeSource);
    const fs::path b = sourceFile("Door 2.TAP", kSecondSource);
    RunResult run = convertFiles({a, b}, destination, plungeOptions());
    ASSERT_FALSE(run.refusal.has_value()) << *run.refusal;
    ASSERT_EQ(run.files.size(), 2u);
    EXPECT_TRUE(run.allConverted());
    EXPECT_TRUE(run.files[0].converted) << describe(run.files[0]);
    EXPECT_TRUE(run.files[1].converted) << describe(run.files[1]);
    EXPECT_EQ(run.files[0].source, a);
    EXPECT_EQ(run.files[0].target, destination / "part1.nc");
    EXPECT_EQ(run.files[1].target, destination / "Door 2.TAP");
    EXPECT_EQ(run.files[0].report.plunges, 1u);
    EXPECT_EQ(contents(destination), (std::map<std::string, std::string>{{"part1.nc", testing::plungeProgram()},
                                                                         {"Door 2.TAP", secondProgram()}}));
    // The sources are untouched.
    EXPECT_EQ(read(a), testing::kPlungeSource);
    EXPECT_EQ(read(b), kSecondSource);
}

TEST_F(FileRun, ADestinationFolderWithATrailingSeparatorIsJoinedOnce) {
    const fs::path a = sourceFile("part1.nc", testing::kPlungeSource);
    RunResult run = convertFiles({a}, destination.string() + "/", plungeOptions());
    ASSERT_EQ(run.files.size(), 1u);
    EXPECT_TRUE(run.files[0].converted) << describe(run.files[0]);
    EXPECT_EQ(contents(destination), (std::map<std::string, std::string>{{"part1.nc", testing::plungeProgram()}}));
}

TEST_F(FileRun, AFailedFileLeavesNothingBehindAndTheRunGoesOn) {
    const fs::path a = sourceFile("a.nc", testing::kPlungeSource);
    const fs::path bad = sourceFile("bad.nc", "N1T1005\nN2G0X0Y0\nN3T99999\nN4G1Z-0.25F100\n");
    const fs::path c = sourceFile("c.nc", kSecondSource);
    std::vector<std::string> done;
    RunResult run = convertFiles({a, bad, c}, destination, plungeOptions(), {},
                                 [&](const FileResult& file) { done.push_back(file.source.filename().string()); });
    ASSERT_EQ(run.files.size(), 3u);
    EXPECT_FALSE(run.allConverted());
    EXPECT_TRUE(run.files[0].converted) << describe(run.files[0]);
    EXPECT_FALSE(run.files[1].converted);
    EXPECT_EQ(run.files[1].source, bad);
    EXPECT_EQ(run.files[1].error.line, 3u) << describe(run.files[1]);
    EXPECT_FALSE(run.files[1].error.reason.empty());
    EXPECT_TRUE(run.files[2].converted) << describe(run.files[2]);
    EXPECT_EQ(done, (std::vector<std::string>{"a.nc", "bad.nc", "c.nc"}));
    EXPECT_EQ(contents(destination),
              (std::map<std::string, std::string>{{"a.nc", testing::plungeProgram()}, {"c.nc", secondProgram()}}));
}

TEST_F(FileRun, AFailedFileKeepsTheOldFileOfItsName) {
    const fs::path bad = sourceFile("bad.nc", "N1T1005\nN2G0X0Y0\nN3G1Z-0.25F100\nN4G1X1e39\n");
    write(destination / "bad.nc", "the program of yesterday\r\n");
    RunResult run = convertFiles({bad}, destination, plungeOptions());
    ASSERT_EQ(run.files.size(), 1u);
    EXPECT_FALSE(run.files[0].converted);
    EXPECT_EQ(run.files[0].error.line, 4u) << describe(run.files[0]);
    EXPECT_EQ(contents(destination), (std::map<std::string, std::string>{{"bad.nc", "the program of yesterday\r\n"}}));
}

TEST_F(FileRun, StrictModeWritesNothingForAFileWithWarnings) {
    const fs::path a = sourceFile("a.nc", "N1T1007\nN2G0X0Y0\nN3G1Z-0.25F100\n");
    const fs::path b = sourceFile("b.nc", testing::kPlungeSource);
    ConversionOptions options = plungeOptions();
    options.strict = true;
    RunResult run = convertFiles({a, b}, destination, options);
    ASSERT_EQ(run.files.size(), 2u);
    EXPECT_FALSE(run.files[0].converted);
    EXPECT_EQ(run.files[0].error.line, 3u) << describe(run.files[0]);
    EXPECT_TRUE(run.files[1].converted) << describe(run.files[1]);
    EXPECT_EQ(contents(destination), (std::map<std::string, std::string>{{"b.nc", testing::plungeProgram()}}));
}

TEST_F(FileRun, AnExistingDestinationFileIsReplacedWhole) {
    const fs::path a = sourceFile("a.nc", testing::kPlungeSource);
    write(destination / "a.nc", std::string(200000, 'x'));
    RunResult run = convertFiles({a}, destination, plungeOptions());
    ASSERT_EQ(run.files.size(), 1u);
    EXPECT_TRUE(run.files[0].converted) << describe(run.files[0]);
    EXPECT_EQ(contents(destination), (std::map<std::string, std::string>{{"a.nc", testing::plungeProgram()}}));
}

TEST_F(FileRun, TheSourceFileIsNeverReplaced) {
    const fs::path a = sourceFile("a.nc", testing::kPlungeSource);
    fs::create_directory_symlink(source, root / "link");
    const fs::path other = root / "other.nc";
    write(other, kSecondSource);
    for (const fs::path& folder : {source, source / ".", fs::path(source.string() + "/"), root / "link",
                                   root / "destination" / ".." / "source"}) {
        RunResult run = convertFiles({a, other}, folder, plungeOptions());
        ASSERT_EQ(run.files.size(), 2u);
        EXPECT_FALSE(run.files[0].converted) << "destination " << folder;
        EXPECT_FALSE(run.files[0].error.reason.empty());
        EXPECT_TRUE(run.files[1].converted) << describe(run.files[1]);  // the run goes on
        EXPECT_EQ(contents(source), (std::map<std::string, std::string>{{"a.nc", std::string(testing::kPlungeSource)},
                                                                        {"other.nc", secondProgram()}}))
            << "destination " << folder;
        fs::remove(source / "other.nc");
    }
}

TEST_F(FileRun, ARefusedThicknessTouchesNothing) {
    const fs::path a = sourceFile("a.nc", testing::kPlungeSource);
    const fs::path b = sourceFile("b.nc", kSecondSource);
    write(destination / "a.nc", "old\r\n");
    for (const char* thickness : {"", "0.75mm", "1,5", " ", "abc"}) {
        ConversionOptions options = plungeOptions();
        options.thickness = thickness;
        int calls = 0;
        RunResult run = convertFiles(
            {a, b}, destination, options, [&](const RunProgress&) { ++calls; }, [&](const FileResult&) { ++calls; });
        ASSERT_TRUE(run.refusal.has_value()) << "thickness \"" << thickness << "\"";
        EXPECT_FALSE(run.refusal->empty());
        EXPECT_TRUE(run.files.empty());
        EXPECT_FALSE(run.allConverted());
        EXPECT_EQ(calls, 0);
        EXPECT_EQ(contents(destination), (std::map<std::string, std::string>{{"a.nc", "old\r\n"}}));
    }
}

TEST_F(FileRun, UnreadableSourcesFailAndTheRunGoesOn) {
    const fs::path a = sourceFile("a.nc", testing::kPlungeSource);
    fs::create_directory(source / "folder.nc");
    RunResult run = convertFiles({source / "missing.nc", source / "folder.nc", a}, destination, plungeOptions());
    ASSERT_EQ(run.files.size(), 3u);
    EXPECT_FALSE(run.files[0].converted);
    EXPECT_FALSE(run.files[0].error.reason.empty());
    EXPECT_FALSE(run.files[1].converted);
    EXPECT_FALSE(run.files[1].error.reason.empty());
    EXPECT_TRUE(run.files[2].converted) << describe(run.files[2]);
    EXPECT_EQ(contents(destination), (std::map<std::string, std::string>{{"a.nc", testing::plungeProgram()}}));
}

TEST_F(FileRun, AMissingDestinationFolderFailsEveryFileAndIsNotCreated) {
    const fs::path a = sourceFile("a.nc", testing::kPlungeSource);
    const fs::path missing = root / "missing";
    RunResult run = convertFiles({a, a}, missing, plungeOptions());
    ASSERT_EQ(run.files.size(), 2u);
    for (const FileResult& file : run.files) {
        EXPECT_FALSE(file.converted);
        EXPECT_FALSE(file.error.reason.empty());
    }
    EXPECT_FALSE(fs::exists(missing));
}

TEST_F(FileRun, ADestinationThatTakesNoFilesFailsCleanly) {
    const fs::path a = sourceFile("a.nc", testing::kPlungeSource);
    write(root / "plain", "a file, not a folder");
    for (const fs::path& folder : {root / "plain", root / "plain" / "sub", fs::path("/proc")}) {
        RunResult run = convertFiles({a}, folder, plungeOptions());
        ASSERT_EQ(run.files.size(), 1u);
        EXPECT_FALSE(run.files[0].converted) << "destination " << folder;
        EXPECT_FALSE(run.files[0].error.reason.empty());
    }
    EXPECT_FALSE(fs::exists("/proc/a.nc"));
    EXPECT_EQ(read(root / "plain"), "a file, not a folder");
}

TEST_F(FileRun, ACheckConvertsWithoutWriting) {
    const fs::path a = sourceFile("a.nc", testing::kPlungeSource);
    FileResult file = convertFile(a, fs::path(), plungeOptions());
    EXPECT_TRUE(file.converted) << describe(file);
    EXPECT_TRUE(file.target.empty());
    EXPECT_EQ(file.report.plunges, 1u);
    EXPECT_EQ(contents(source), (std::map<std::string, std::string>{{"a.nc", std::string(testing::kPlungeSource)}}));
    EXPECT_TRUE(contents(destination).empty());
}

TEST_F(FileRun, EmptyAndBinarySourcesNeverLeaveAPartialFile) {
    const fs::path empty = sourceFile("empty.nc", "");
    std::string binary;
    for (int i = 0; i < 100000; ++i) binary += static_cast<char>((i * 7919) % 256);
    const fs::path noise = sourceFile("noise.bin", binary);
    RunResult run = convertFiles({empty, noise}, destination, plungeOptions());
    ASSERT_EQ(run.files.size(), 2u);
    EXPECT_TRUE(run.files[0].converted) << describe(run.files[0]);
    const auto written = contents(destination);
    EXPECT_EQ(written.at("empty.nc"), selvixProgram("", "0.75", ""));
    if (run.files[1].converted) {
        const std::string trailer = testing::selvixTrailer();
        ASSERT_TRUE(written.count("noise.bin"));
        EXPECT_TRUE(written.at("noise.bin").ends_with(trailer));
        EXPECT_EQ(written.size(), 2u);
    } else {
        EXPECT_EQ(written.size(), 1u);
    }
}

TEST_F(FileRun, AFileConvertsTheSameWhateverWasConvertedBeforeIt) {
    const fs::path before =
        sourceFile("before.nc", "N1G21\nN2T1009S9000\nN3G0G41X5Y5\nN4G1Z-7F300\nN5G3X1Y1I1J1\nN6G0\n");
    const fs::path first = sourceFile("first.nc", "N1T1005\nN2G1X1Y1Z-0.5F100\nN3G0X2Y2\nN4G1Z-0.25\nN5G0Z1\n");
    fs::create_directory(root / "alone");
    ConversionOptions options = plungeOptions();
    options.ipsFeed = true;
    RunResult together = convertFiles({before, first}, destination, options);
    RunResult alone = convertFiles({first}, root / "alone", options);
    ASSERT_TRUE(together.allConverted());
    ASSERT_TRUE(alone.allConverted());
    EXPECT_EQ(read(destination / "first.nc"), read(root / "alone" / "first.nc"));
    EXPECT_EQ(read(destination / "first.nc"),
              selvixProgram("", "0.75",
                            crlfLines({"G1X-1Y-1Z0F1.6667", "G0Z2M5", "", "(DIS, \"T3\")", "G306T3h3S0D1Z-1", "M93",
                                       "G0X-2Y-2Z1.5", "G1Z0"})));
}

TEST_F(FileRun, ASourceThatChangesWhileItIsConvertedFailsAndLeavesNothing) {
    std::string big = "N1T1005\nN2G0X0Y0\nN3G1Z-0.25F100\n";
    for (int i = 0; big.size() < (6u << 20); ++i) {
        big += 'N';
        big += std::to_string(i + 4);
        big += "G1X1.5Y7\n";
    }
    const fs::path a = sourceFile("growing.nc", big);
    const fs::path b = sourceFile("b.nc", testing::kPlungeSource);
    bool changed = false;
    RunResult run = convertFiles({a, b}, destination, plungeOptions(), [&](const RunProgress& p) {
        if (changed || p.fileIndex != 0 || p.done == 0 || p.done >= p.total / 2) return;
        std::ofstream(a, std::ios::binary | std::ios::app) << "N999999G1X2\n";
        changed = true;
    });
    ASSERT_TRUE(changed) << "no progress was reported during the first scan";
    ASSERT_EQ(run.files.size(), 2u);
    EXPECT_FALSE(run.files[0].converted) << "a source that changed between its two scans was converted";
    EXPECT_FALSE(run.files[0].error.reason.empty());
    EXPECT_TRUE(run.files[1].converted) << describe(run.files[1]);
    EXPECT_EQ(contents(destination), (std::map<std::string, std::string>{{"b.nc", testing::plungeProgram()}}));
}

// Changes made while the second scan reads: the scans read different text, so the depths found
// by the first belong to another program. The earlier output of that name stays.
TEST_F(FileRun, ASourceChangedDuringItsSecondScanFailsAndKeepsTheOldOutput) {
    std::string big = "N1T1005\nN2G0X0Y0\nN3G1Z-0.25F100\n";
    while (big.size() < (9u << 20)) big += "N4G1X1.5Y7\n";
    const std::vector<std::pair<const char*, void (*)(const fs::path&)>> changes = {
        {"appended", [](const fs::path& p) { std::ofstream(p, std::ios::binary | std::ios::app) << "N9G1Z-9\n"; }},
        {"truncated", [](const fs::path& p) { fs::resize_file(p, fs::file_size(p) / 2); }},
        {"overwritten in place",
         [](const fs::path& p) { std::fstream(p, std::ios::binary | std::ios::in | std::ios::out).seekp(-3, std::ios::end) << "Y8\n"; }},
    };
    for (const auto& [what, changeOf] : changes) {
        void (*const change)(const fs::path&) = changeOf;  // a lambda cannot capture a structured binding
        const fs::path a = sourceFile("changing.nc", big);
        write(destination / "changing.nc", "old\r\n");
        bool changed = false;
        RunResult run = convertFiles({a}, destination, plungeOptions(), [&](const RunProgress& p) {
            if (changed || p.done <= p.total / 2 || p.done >= p.total) return;
            change(a);
            changed = true;
        });
        ASSERT_TRUE(changed) << what << ": no progress was reported during the second scan";
        ASSERT_EQ(run.files.size(), 1u);
        EXPECT_FALSE(run.files[0].converted) << what;
        EXPECT_EQ(run.files[0].error.reason, kSourceChanged) << what;
        EXPECT_EQ(contents(destination), (std::map<std::string, std::string>{{"changing.nc", "old\r\n"}})) << what;
    }
}

TEST_F(FileRun, AReadOnlyOutputIsNotReplacedAndTheRunGoesOn) {
    const fs::path a = sourceFile("a.nc", testing::kPlungeSource);
    const fs::path b = sourceFile("b.nc", kSecondSource);
    write(destination / "a.nc", "protected\r\n");
    fs::permissions(destination / "a.nc", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    RunResult run = convertFiles({a, b}, destination, plungeOptions());
    ASSERT_EQ(run.files.size(), 2u);
    EXPECT_FALSE(run.files[0].converted);
    EXPECT_TRUE(run.files[0].error.reason.starts_with(kReadOnlyTarget)) << run.files[0].error.reason;
    EXPECT_TRUE(run.files[1].converted) << describe(run.files[1]);
    EXPECT_EQ(contents(destination), (std::map<std::string, std::string>{{"a.nc", "protected\r\n"},
                                                                         {"b.nc", secondProgram()}}));
}

// While a file is written its folder shows only the old file: what SIGKILL or a power cut leaves.
// Also for an output long enough to be handed to the disk in stretches while it is written.
TEST_F(FileRun, AnOutputHasNoNameUntilItIsComplete) {
    std::string longText;
    for (int i = 0; longText.size() < (20u << 20); ++i) longText += "G1X-" + std::to_string(i) + ".5\r\n";
    for (const std::string& text : {std::string("new"), longText}) {
        write(destination / "a.nc", "old");
        AtomicFile file(destination / "a.nc");
        ASSERT_TRUE(file.open()) << file.error();
        for (std::size_t at = 0; at < text.size(); at += 1 << 20)
            ASSERT_TRUE(file.write(std::string_view(text).substr(at, 1 << 20))) << file.error();
        EXPECT_EQ(contents(destination), (std::map<std::string, std::string>{{"a.nc", "old"}}));
        ASSERT_TRUE(file.commit()) << file.error();
        EXPECT_EQ(contents(destination), (std::map<std::string, std::string>{{"a.nc", text}}));
    }
}

// Where no unnamed file can be made, the named temporary goes with the process, whichever
// catchable signal ends it, and the process still ends by that signal.
TEST_F(FileRun, ANamedTemporaryIsRemovedWhenASignalEndsTheRun) {
    write(destination / "a.nc", "old");
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) {
        EXPECT_EXIT(
            {
                ::setenv("PATHSHIFT_NAMED_TEMPORARIES", "1", 1);
                AtomicFile file(destination / "a.nc");
                if (file.open() && file.write("partial") && contents(destination).size() == 2) ::raise(signal);
                std::_Exit(3);
            },
            ::testing::KilledBySignal(signal), "");
        EXPECT_EQ(contents(destination), (std::map<std::string, std::string>{{"a.nc", "old"}})) << signal;
    }
}

TEST_F(FileRun, ProgressRisesToTheTotalOfEachFile) {
    // Large enough for progress inside each scan.
    std::string big = "N1T1005\nN2G0X0Y0\nN3G1Z-0.25F100\n";
    std::string body = crlfLines({"G0Z2M5", "", "(DIS, \"T3\")", "G306T3h3S0D1Z-1", "M93", "G0X0Y0Z1.5", "G1Z0F100"});
    for (int i = 0; big.size() < (6u << 20); ++i) {
        big += 'N';
        big += std::to_string(i + 4);
        big += "G1X";
        big += std::to_string(i % 500);
        big += ".125Y7\n";
        body += "G1X-";
        body += std::to_string(i % 500);
        body += i == 0 ? ".125Y-7\r\n" : ".125\r\n";
    }
    const fs::path a = sourceFile("big.nc", big);
    const fs::path b = sourceFile("small.nc", testing::kPlungeSource);
    struct Seen {
        std::size_t file, count, done, total;
        fs::path source;
    };
    std::vector<Seen> seen;
    RunResult run = convertFiles({a, b}, destination, plungeOptions(), [&](const RunProgress& p) {
        seen.push_back({p.fileIndex, p.fileCount, p.done, p.total, p.source ? *p.source : fs::path()});
    });
    ASSERT_TRUE(run.allConverted());
    EXPECT_TRUE(read(destination / "big.nc") == selvixProgram("", "0.75", body)) << "the long program is not written whole";
    ASSERT_FALSE(seen.empty());
    std::size_t inFirst = 0;
    for (std::size_t i = 0; i < seen.size(); ++i) {
        const Seen& s = seen[i];
        EXPECT_EQ(s.count, 2u);
        EXPECT_EQ(s.source, s.file == 0 ? a : b);
        EXPECT_LE(s.done, s.total) << "report " << i;
        if (s.file == 0) ++inFirst;
        if (i == 0) continue;
        const Seen& previous = seen[i - 1];
        ASSERT_GE(s.file, previous.file) << "report " << i;
        if (s.file == previous.file && previous.total > 0 && s.total > 0) {
            EXPECT_GE(static_cast<double>(s.done) / static_cast<double>(s.total),
                      static_cast<double>(previous.done) / static_cast<double>(previous.total))
                << "report " << i << ": " << s.done << "/" << s.total << " after " << previous.done << "/" << previous.total;
        }
    }
    EXPECT_GE(inFirst, 3u) << "a program of several megabytes reports progress while it is converted";
    for (std::size_t file : {0u, 1u}) {
        auto last = std::find_if(seen.rbegin(), seen.rend(), [&](const Seen& s) { return s.file == file; });
        ASSERT_NE(last, seen.rend()) << "file " << file;
        EXPECT_GT(last->total, 0u);
        EXPECT_EQ(last->done, last->total) << "file " << file;
    }
}

}  // namespace
}  // namespace pathshift

namespace pathshift {
namespace {

TEST(FileRunNames, TwoSourcesOfOneNameNeverOverwriteEachOther) {
    const std::filesystem::path root = std::filesystem::temp_directory_path() / "pathshift_same_name_run";
    std::filesystem::remove_all(root);
    std::filesystem::create_directories(root / "a");
    std::filesystem::create_directories(root / "b");
    std::filesystem::create_directories(root / "out");
    for (const char* folder : {"a", "b"}) {
        std::FILE* file = std::fopen((root / folder / "part.nc").c_str(), "wb");
        ASSERT_NE(file, nullptr);
        std::fprintf(file, "N1G0X%s\nN2G1Z-1\n", folder[0] == 'a' ? "1" : "2");
        std::fclose(file);
    }
    ConversionOptions options;
    options.thickness = "1";
    const RunResult run = convertFiles({root / "a" / "part.nc", root / "b" / "part.nc"}, root / "out", options);
    ASSERT_EQ(run.files.size(), 2u);
    EXPECT_TRUE(run.files[0].converted) << run.files[0].error.reason;
    EXPECT_FALSE(run.files[1].converted);
    EXPECT_NE(run.files[1].error.reason.find("same name"), std::string::npos) << run.files[1].error.reason;
    std::string text;
    std::string error;
    ASSERT_TRUE(readWholeFile(root / "out" / "part.nc", text, error)) << error;
    EXPECT_NE(text.find("G0X-1"), std::string::npos) << "the first source's output was replaced:\n" << text;
    std::filesystem::remove_all(root);
}

}  // namespace
}  // namespace pathshift
