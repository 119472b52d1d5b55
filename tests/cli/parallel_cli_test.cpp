// `pathshift-cli convert -j N`: the same files, exit status and messages, in the same order, as a
// run of one file at a time.

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "support/cli_run.h"
#include "support/folder_test.h"
#include "support/program_text.h"

namespace pathshift {
namespace {

namespace fs = std::filesystem;
using testing::CliOutcome;
using testing::printable;

constexpr std::string_view kBadTool = "N1T1005\nN2G0X0Y0\nN3T99999\nN4G1Z-0.25F100\n";
constexpr std::string_view kMissingTool = "N1T1007\nN2G0X0Y0\nN3G1Z-0.25F100\n";

// Built by appending: GCC 12 warns falsely about "text" + std::to_string(...).
std::string manyPlunges(int plunges) {
    std::string text = "N1G20\nN2T1005S18000\n";
    int n = 3;
    auto block = [&](std::initializer_list<std::string> words) {
        text.append("N").append(std::to_string(n++));
        for (const std::string& word : words) text.append(word);
        text.append("\n");
    };
    for (int p = 0; p < plunges; ++p) {
        block({"G0X", std::to_string(p), ".5Y2"});
        block({"G1Z0.", std::to_string(p % 9), "F100"});
        block({"G3X", std::to_string(p + 1), "Y3I0.5J0.5"});
    }
    return text;
}

class ParallelCli : public testing::FolderTest {
protected:
    void SetUp() override {
        FolderTest::SetUp();
        fs::create_directory(root / "src");
        fs::create_directory(root / "other");
    }

    // Good files, failing files, warnings, a missing file and a second source of one name.
    std::vector<std::string> mixedSources() {
        std::vector<std::string> sources{file("src/big.nc", manyPlunges(4000)),
                                         (root / "src/missing.nc").string()};
        for (int i = 0; i < 16; ++i) {
            const std::string name = "src/f" + std::to_string(i) + ".nc";
            switch (i % 4) {
                case 0: sources.push_back(file(name, testing::kPlungeSource)); break;
                case 1: sources.push_back(file(name, kBadTool)); break;
                case 2: sources.push_back(file(name, kMissingTool)); break;
                default: sources.push_back(file(name, manyPlunges(i * 50))); break;
            }
        }
        sources.push_back(file("other/f0.nc", testing::kPlungeSource));  // refused: f0 was written
        sources.push_back(file("other/f1.nc", testing::kPlungeSource));  // written: f1 failed
        return sources;
    }

    struct Run {
        CliOutcome outcome;
        std::map<std::string, std::string> written;
    };

    // Converts into a fresh folder; the folder's name is taken out of the messages.
    Run convert(const std::string& name, const std::vector<std::string>& options,
                const std::vector<std::string>& sources) {
        const fs::path destination = root / name;
        fs::create_directory(destination);
        std::vector<std::string> arguments{"convert", "--thickness", "0.75", "--dfs", "--tool", "1005=3",
                                           "-o",      destination.string()};
        arguments.insert(arguments.end(), options.begin(), options.end());
        arguments.insert(arguments.end(), sources.begin(), sources.end());
        Run run{testing::runCli(arguments), {}};
        for (std::string* text : {&run.outcome.out, &run.outcome.err})
            for (std::size_t at; (at = text->find(destination.string())) != std::string::npos;)
                text->replace(at, destination.string().size(), "DEST");
        for (const auto& entry : fs::directory_iterator(destination))
            run.written[entry.path().filename().string()] = testing::readWhole(entry.path());
        return run;
    }

};

TEST_F(ParallelCli, ParallelAndSerialRunsWriteAndSayTheSame) {
    const std::vector<std::string> sources = mixedSources();
    const Run serial = convert("serial", {"-j", "1"}, sources);
    ASSERT_EQ(serial.outcome.status, 1) << printable(serial.outcome);
    // The serial run itself is what the mixture promises, so the comparison means something.
    EXPECT_NE(serial.outcome.err.find("missing.nc"), std::string::npos) << printable(serial.outcome);
    EXPECT_NE(serial.outcome.err.find("f1.nc:3: "), std::string::npos) << printable(serial.outcome);
    EXPECT_NE(serial.outcome.err.find("warning"), std::string::npos) << printable(serial.outcome);
    EXPECT_NE(serial.outcome.err.find("same name"), std::string::npos) << printable(serial.outcome);
    EXPECT_EQ(serial.written.at("f1.nc"), testing::plungeProgram());
    EXPECT_GT(serial.written.at("big.nc").size(), 100000u);

    for (const std::vector<std::string>& jobs : {std::vector<std::string>{"-j", "4"},
                                                 std::vector<std::string>{"--jobs=3"}, std::vector<std::string>{}}) {
        const Run parallel = convert("parallel" + std::to_string(jobs.size()), jobs, sources);
        EXPECT_EQ(parallel.outcome.status, serial.outcome.status);
        EXPECT_EQ(parallel.outcome.out, serial.outcome.out);
        EXPECT_EQ(parallel.outcome.err, serial.outcome.err);
        EXPECT_EQ(parallel.written, serial.written);
    }
}

TEST_F(ParallelCli, QuietAndStrictRunsAgreeToo) {
    const std::vector<std::string> sources = mixedSources();
    const Run serial = convert("serial", {"-j", "1", "--quiet", "--strict"}, sources);
    const Run parallel = convert("parallel", {"-j", "5", "--quiet", "--strict"}, sources);
    EXPECT_EQ(serial.outcome.status, 1);
    EXPECT_TRUE(serial.outcome.out.empty()) << printable(serial.outcome);
    EXPECT_EQ(serial.written.count("f2.nc"), 0u);  // a warning fails it under --strict
    EXPECT_EQ(parallel.outcome.out, serial.outcome.out);
    EXPECT_EQ(parallel.outcome.err, serial.outcome.err);
    EXPECT_EQ(parallel.written, serial.written);
}

TEST_F(ParallelCli, AJobCountBelowOneIsAUsageError) {
    const std::string a = file("src/a.nc", testing::kPlungeSource);
    fs::create_directory(root / "out");
    for (const char* count : {"0", "-2", "many"}) {
        const CliOutcome o =
            testing::runCli({"convert", "--thickness", "0.75", "-j", count, "-o", (root / "out").string(), a});
        EXPECT_EQ(o.status, 2) << count << "\n" << printable(o);
        EXPECT_TRUE(fs::is_empty(root / "out")) << count;
    }
}

}  // namespace
}  // namespace pathshift
