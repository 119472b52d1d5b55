// The shared writer under interruption: while a file is written its folder shows only the old file,
// and a run ended by a signal leaves the old file and nothing else, with or without unnamed files.

#include "engine/atomic_file.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>

namespace pathshift {
namespace {

namespace fs = std::filesystem;

class AtomicFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "atomic-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        folder = pattern;
        target = folder / "part.nc";
        std::ofstream(target) << "old";
    }
    void TearDown() override {
        ::unsetenv("PATHSHIFT_NAMED_TEMPORARIES");
        std::error_code ec;
        fs::remove_all(folder, ec);
    }
    std::set<std::string> names() const {
        std::set<std::string> found;
        for (const auto& entry : fs::directory_iterator(folder)) found.insert(entry.path().filename().string());
        return found;
    }
    std::string text() const {
        std::ifstream in(target);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    fs::path folder, target;
};

TEST_F(AtomicFileTest, AFileBeingWrittenHasNoNameUntilItIsComplete) {
    AtomicFile file(target);
    ASSERT_TRUE(file.open()) << file.error();
    ASSERT_TRUE(file.write("new"));
    // Were the process killed now (SIGKILL, power cut), this is what would be left.
    EXPECT_EQ(names(), std::set<std::string>{"part.nc"});
    EXPECT_EQ(text(), "old");
    ASSERT_TRUE(file.commit()) << file.error();
    EXPECT_EQ(names(), std::set<std::string>{"part.nc"});
    EXPECT_EQ(text(), "new");
}

using AtomicFileDeathTest = AtomicFileTest;

// Where no unnamed file can be made, the named temporary goes with the process, whichever
// catchable signal ends it, and the process still ends by that signal.
TEST_F(AtomicFileDeathTest, ANamedTemporaryIsRemovedWhenASignalEndsTheProcess) {
    for (const int signal : {SIGINT, SIGTERM, SIGHUP, SIGPIPE}) {
        EXPECT_EXIT(
            {
                ::setenv("PATHSHIFT_NAMED_TEMPORARIES", "1", 1);
                AtomicFile file(target);
                if (!file.open() || !file.write("partial") || names().size() != 2) std::_Exit(3);
                ::raise(signal);
                std::_Exit(4);
            },
            ::testing::KilledBySignal(signal), "")
            << strsignal(signal);
        EXPECT_EQ(names(), std::set<std::string>{"part.nc"}) << strsignal(signal);
        EXPECT_EQ(text(), "old");
    }
}

}  // namespace
}  // namespace pathshift
