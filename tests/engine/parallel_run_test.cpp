// Runs on several threads against the serial run over the same files: results, written files,
// the order of results and of progress, and the files whose outcome depends on an earlier one.

#include "engine/runs/parallel_run.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <thread>
#include <vector>

#include "support/program_text.h"

namespace pathshift {
namespace {

namespace fs = std::filesystem;

ConversionOptions plungeOptions() {
    ConversionOptions options;
    options.thickness = "0.75";
    options.dfs = true;
    options.tools.appendRow({"1005", "3"});
    return options;
}

constexpr std::string_view kBadTool = "N1T1005\nN2G0X0Y0\nN3T99999\nN4G1Z-0.25F100\n";

// A program of many plunges, so that it converts well after the small files that follow it.
std::string longProgram(int plunges) {
    std::string text = "N1G21\nN2T1005S9000\n";
    int n = 3;
    for (int p = 0; p < plunges; ++p) {
        text += "N" + std::to_string(n++) + "G0X" + std::to_string(p) + "Y1\n";
        text += "N" + std::to_string(n++) + "G1Z-" + std::to_string(p % 7) + ".25F3000\n";
        text += "N" + std::to_string(n++) + "G2X" + std::to_string(p + 2) + "Y1I1J0\n";
    }
    return text;
}

std::string readFile(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const fs::path& path, std::string_view text) {
    std::ofstream out(path, std::ios::binary);
    out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

// One file's result as text, so two runs compare in one assertion with a readable difference.
std::string describe(const FileResult& file) {
    std::string text = file.source.string() + " -> " + file.target.string() + (file.converted ? " ok" : " failed") +
                       " line " + std::to_string(file.error.line) + " " + file.error.reason + " | " +
                       std::to_string(file.report.linesRead) + " " + std::to_string(file.report.blocksTranslated) +
                       " " + std::to_string(file.report.plunges) + " " + std::to_string(file.report.toolCalls);
    for (const ConversionWarning& w : file.report.warnings) text += " | " + std::to_string(w.line) + ":" + w.text;
    return text;
}

struct Observed {
    std::vector<std::string> results;     // in the order fileDone saw them
    std::vector<std::size_t> progressed;  // file index of every progress call
    std::map<std::string, std::string> written;
    bool allConverted = false;
    bool callbacksOnCaller = true;
};

class ParallelRun : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "parallelrun-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        root = pattern;
        fs::create_directory(root / "a");
        fs::create_directory(root / "b");
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(root, ec);
    }

    fs::path source(const std::string& relative, std::string_view text) {
        writeFile(root / relative, text);
        return root / relative;
    }

    // Runs into a fresh destination folder named after the run.
    Observed run(const std::vector<fs::path>& sources, unsigned jobs, const ConversionOptions& options,
                 const std::string& name) {
        const fs::path destination = root / name;
        fs::create_directory(destination);
        Observed seen;
        const std::thread::id caller = std::this_thread::get_id();
        auto progress = [&](const RunProgress& p) {
            seen.callbacksOnCaller &= std::this_thread::get_id() == caller;
            seen.progressed.push_back(p.fileIndex);
            EXPECT_EQ(p.fileCount, sources.size());
            EXPECT_EQ(*p.source, sources[p.fileIndex]);
            EXPECT_LE(p.done, p.total);
        };
        auto done = [&](const FileResult& file) {
            seen.callbacksOnCaller &= std::this_thread::get_id() == caller;
            std::string text = describe(file);
            // The destination differs between the two runs compared; the rest must not.
            for (std::size_t at; (at = text.find(destination.string())) != std::string::npos;)
                text.replace(at, destination.string().size(), "DEST");
            seen.results.push_back(text);
        };
        const RunResult result = convertFilesInParallel(sources, destination, options, jobs, progress, done);
        seen.allConverted = result.allConverted();
        EXPECT_EQ(result.files.size(), result.refusal ? 0 : sources.size());
        for (const auto& entry : fs::directory_iterator(destination))
            seen.written[entry.path().filename().string()] = readFile(entry.path());
        return seen;
    }

    fs::path root;
};

TEST_F(ParallelRun, GivesTheSerialResultsInTheSerialOrder) {
    std::vector<fs::path> sources;
    sources.push_back(source("a/long.nc", longProgram(3000)));
    sources.push_back(root / "a/missing.nc");
    for (int i = 0; i < 24; ++i) {
        const std::string name = "a/p" + std::to_string(i) + ".nc";
        if (i % 5 == 3)
            sources.push_back(source(name, kBadTool));
        else
            sources.push_back(source(name, i % 2 ? testing::kPlungeSource : longProgram(i * 10)));
    }
    const Observed serial = run(sources, 1, plungeOptions(), "serial");
    const Observed parallel = run(sources, 4, plungeOptions(), "parallel");
    EXPECT_EQ(parallel.results, serial.results);
    EXPECT_EQ(parallel.written, serial.written);
    EXPECT_FALSE(parallel.allConverted);
    EXPECT_EQ(serial.written.size(), sources.size() - 1 - 5);  // the missing one and the bad tools
    EXPECT_EQ(parallel.written.at("p1.nc"), testing::plungeProgram());
}

TEST_F(ParallelRun, ProgressAndResultsArriveOnTheCallersThreadFileByFile) {
    std::vector<fs::path> sources;
    sources.push_back(source("a/long.nc", longProgram(20000)));
    for (int i = 0; i < 6; ++i) sources.push_back(source("a/s" + std::to_string(i) + ".nc", testing::kPlungeSource));
    const Observed parallel = run(sources, 3, plungeOptions(), "out");
    EXPECT_TRUE(parallel.callbacksOnCaller);
    EXPECT_TRUE(parallel.allConverted);
    ASSERT_EQ(parallel.results.size(), sources.size());
    for (std::size_t i = 0; i < sources.size(); ++i)
        EXPECT_EQ(parallel.results[i].rfind(sources[i].string(), 0), 0u) << parallel.results[i];
    // Progress moves from file to file in list order, every file announced.
    ASSERT_FALSE(parallel.progressed.empty());
    EXPECT_TRUE(std::is_sorted(parallel.progressed.begin(), parallel.progressed.end()));
    EXPECT_EQ(parallel.progressed.front(), 0u);
    EXPECT_EQ(parallel.progressed.back(), sources.size() - 1);
    EXPECT_EQ(std::set<std::size_t>(parallel.progressed.begin(), parallel.progressed.end()).size(), sources.size());
}

// A second source of one name is refused only when the first one was written: the refusal
// depends on an earlier file's outcome, which threads must wait for.
TEST_F(ParallelRun, ASecondSourceOfOneNameWaitsForTheFirstsOutcome) {
    const std::vector<fs::path> failedFirst{source("a/x.nc", kBadTool), source("b/x.nc", testing::kPlungeSource)};
    const Observed serialA = run(failedFirst, 1, plungeOptions(), "serialA");
    const Observed parallelA = run(failedFirst, 2, plungeOptions(), "parallelA");
    EXPECT_EQ(parallelA.results, serialA.results);
    EXPECT_EQ(parallelA.written, (std::map<std::string, std::string>{{"x.nc", testing::plungeProgram()}}));

    // The long first one keeps its thread busy while the second is taken up.
    const std::vector<fs::path> convertedFirst{source("a/y.nc", longProgram(20000)),
                                               source("b/y.nc", testing::kPlungeSource)};
    const Observed serialB = run(convertedFirst, 1, plungeOptions(), "serialB");
    const Observed parallelB = run(convertedFirst, 2, plungeOptions(), "parallelB");
    EXPECT_EQ(parallelB.results, serialB.results);
    EXPECT_EQ(parallelB.written, serialB.written);
    ASSERT_EQ(parallelB.results.size(), 2u);
    EXPECT_NE(parallelB.results[1].find("same name"), std::string::npos) << parallelB.results[1];
    EXPECT_NE(parallelB.written.at("y.nc"), testing::plungeProgram());
}

TEST_F(ParallelRun, ASourceInTheDestinationIsNeverReplaced) {
    const fs::path destination = root / "out";
    fs::create_directory(destination);
    writeFile(destination / "z.nc", testing::kPlungeSource);
    const std::vector<fs::path> sources{source("a/z.nc", testing::kPlungeSource), destination / "z.nc"};
    const RunResult result = convertFilesInParallel(sources, destination, plungeOptions(), 2);
    ASSERT_EQ(result.files.size(), 2u);
    EXPECT_TRUE(result.files[0].converted);
    EXPECT_FALSE(result.files[1].converted);
    EXPECT_EQ(readFile(destination / "z.nc"), testing::plungeProgram());
}

TEST_F(ParallelRun, AnUnusableThicknessRefusesTheRunBeforeAnyFile) {
    ConversionOptions options = plungeOptions();
    options.thickness = "0,75";
    const std::vector<fs::path> sources{source("a/p.nc", testing::kPlungeSource),
                                        source("a/q.nc", testing::kPlungeSource)};
    const fs::path destination = root / "out";
    fs::create_directory(destination);
    int told = 0;
    const RunResult result =
        convertFilesInParallel(sources, destination, options, 4, {}, [&](const FileResult&) { ++told; });
    EXPECT_TRUE(result.refusal.has_value());
    EXPECT_EQ(told, 0);
    EXPECT_TRUE(fs::is_empty(destination));
}

TEST_F(ParallelRun, CheckRunsWriteNothing) {
    const std::vector<fs::path> sources{source("a/p.nc", testing::kPlungeSource), source("a/q.nc", kBadTool),
                                        source("a/r.nc", testing::kPlungeSource)};
    const RunResult result = convertFilesInParallel(sources, fs::path(), plungeOptions(), 3);
    ASSERT_EQ(result.files.size(), 3u);
    EXPECT_TRUE(result.files[0].converted);
    EXPECT_FALSE(result.files[1].converted);
    EXPECT_EQ(result.files[1].error.line, 3u);
    EXPECT_TRUE(result.files[2].converted);
    EXPECT_TRUE(result.files[2].target.empty());
}

}  // namespace
}  // namespace pathshift
