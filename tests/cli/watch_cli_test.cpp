// `pathshift-cli watch` as a running program over real folders: files arriving, written slowly,
// failing, moved to a done folder, and the watcher stopped by a signal. Waits poll for a condition
// with a generous limit; nothing is timed.

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <stdlib.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <thread>

#include "support/cli_run.h"
#include "support/program_text.h"

namespace pathshift {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

std::size_t occurrences(const std::string& text, const std::string& what) {
    std::size_t count = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++count;
    return count;
}

class WatchCli : public ::testing::Test {
protected:
    void SetUp() override {
        std::string pattern = (fs::temp_directory_path() / "watchcli-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        root = pattern;
        for (const char* folder : {"in", "out", "done"}) fs::create_directory(root / folder);
    }
    void TearDown() override {
        if (pid > 0) stop(SIGKILL);
        fs::remove_all(root);
    }

    void write(const fs::path& file, std::string_view text) {
        std::ofstream(file, std::ios::binary).write(text.data(), static_cast<std::streamsize>(text.size()));
    }
    // Whole at once, as a copy that lands by rename does.
    void drop(const std::string& name, std::string_view text) {
        write(root / ("." + name), text);
        fs::rename(root / ("." + name), root / "in" / name);
    }

    void start(const std::vector<std::string>& options, const std::string& settle = "0.3") {
        std::vector<std::string> all{PATHSHIFT_CLI, "watch", "--thickness", "0.75", "--dfs", "--tool", "1005=3", "--settle", settle};
        all.insert(all.end(), options.begin(), options.end());
        all.insert(all.end(), {"-o", (root / "out").string(), (root / "in").string()});
        std::vector<char*> argv;
        for (std::string& a : all) argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, (root / "stdout").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        posix_spawn_file_actions_addopen(&actions, 2, (root / "stderr").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        ASSERT_EQ(posix_spawn(&pid, PATHSHIFT_CLI, &actions, nullptr, argv.data(), environ), 0);
        posix_spawn_file_actions_destroy(&actions);
        ASSERT_TRUE(waitFor([&] { return out().find("watching") != std::string::npos; }));
    }
    int stop(int signal) {
        ::kill(pid, signal);
        int status = 0;
        ::waitpid(pid, &status, 0);
        pid = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    std::string out() const { return testing::readWhole(root / "stdout"); }
    std::string log() const { return out() + testing::readWhole(root / "stderr"); }
    bool waitFor(const std::function<bool()>& condition) {
        for (auto limit = std::chrono::steady_clock::now() + 30s; std::chrono::steady_clock::now() < limit;) {
            if (condition()) return true;
            std::this_thread::sleep_for(20ms);
        }
        return false;
    }
    bool waitForLines(const std::string& what, std::size_t count) {
        return waitFor([&] { return occurrences(out(), what) >= count; });
    }

    fs::path root;
    pid_t pid = -1;
};

TEST_F(WatchCli, SlowWriterIsConvertedOnceWhenComplete) {
    start({}, "1");
    {
        std::ofstream slow(root / "in/slow.nc", std::ios::binary);
        for (std::string_view rest = testing::kPlungeSource; !rest.empty();) {  // a line every 150 ms
            const std::size_t end = rest.find('\n') + 1;
            slow << rest.substr(0, end) << std::flush;
            rest.remove_prefix(end);
            std::this_thread::sleep_for(150ms);
        }
    }
    ASSERT_TRUE(waitForLines("converted ", 1)) << log();
    drop("after.nc", testing::kPlungeSource);  // the settled file, done once, does not come back
    ASSERT_TRUE(waitForLines("converted ", 2)) << log();
    EXPECT_EQ(stop(SIGTERM), 0);
    EXPECT_EQ(occurrences(out(), "slow.nc"), 2u) << log();  // "converted in/slow.nc -> out/slow.nc"
    EXPECT_EQ(testing::readWhole(root / "out/slow.nc"), testing::plungeProgram());
}

TEST_F(WatchCli, FailingFileIsReportedOnceAndStaysUntilItChanges) {
    drop("bad.nc", "N1T99999\n");
    start({"--done", (root / "done").string()});
    ASSERT_TRUE(waitForLines("failed ", 1)) << log();
    drop("good.nc", testing::kPlungeSource);
    ASSERT_TRUE(waitForLines("converted ", 1)) << log();
    EXPECT_TRUE(fs::exists(root / "in/bad.nc"));
    EXPECT_FALSE(fs::exists(root / "out/bad.nc"));
    write(root / "in/bad.nc", testing::kPlungeSource);  // repaired in place
    ASSERT_TRUE(waitForLines("converted ", 2)) << log();
    EXPECT_EQ(stop(SIGINT), 0);
    EXPECT_EQ(occurrences(out(), "failed "), 1u) << log();
    EXPECT_TRUE(fs::is_empty(root / "in"));
}

// In the same filesystem, and in another one (a copy, then the source removed) where there is one.
TEST_F(WatchCli, DoneFolderKeepsWhatIsThere) {
    std::vector<fs::path> folders{root / "done"};
    std::string shm = "/dev/shm/watchcli-XXXXXX";
    struct stat here {}, there {};
    if (::stat(root.c_str(), &here) == 0 && ::stat("/dev/shm", &there) == 0 && here.st_dev != there.st_dev &&
        ::mkdtemp(shm.data()) != nullptr)
        folders.push_back(shm);
    for (const fs::path& done : folders) {
        write(done / "part.nc", "older");
        start({"--done", done.string(), "--poll", "0.2"});
        drop("part.nc", testing::kPlungeSource);
        ASSERT_TRUE(waitForLines("source moved to", 1)) << log();
        EXPECT_EQ(stop(SIGTERM), 0);
        EXPECT_NE(out().find("(polling every 200 ms)"), std::string::npos) << log();
        EXPECT_EQ(testing::readWhole(done / "part.nc"), "older");
        EXPECT_EQ(testing::readWhole(done / "part-2.nc"), testing::kPlungeSource);
        EXPECT_EQ(std::distance(fs::directory_iterator(done), fs::directory_iterator()), 2) << done;  // no copy left
        EXPECT_EQ(testing::readWhole(root / "out/part.nc"), testing::plungeProgram());
        EXPECT_TRUE(fs::is_empty(root / "in"));
    }
    if (folders.size() > 1) fs::remove_all(shm);
}

// "watching" is said once the folder is listed: a file dropped as soon as it shows is a new one.
TEST_F(WatchCli, NewOnlyLeavesFilesPresentAtTheStart) {
    drop("old.nc", testing::kPlungeSource);
    start({"--new-only"});
    drop("new.nc", testing::kPlungeSource);
    ASSERT_TRUE(waitForLines("converted ", 1)) << log();
    EXPECT_EQ(stop(SIGTERM), 0);
    EXPECT_TRUE(fs::exists(root / "out/new.nc"));
    EXPECT_FALSE(fs::exists(root / "out/old.nc"));
}

// Stopped while a large program converts: the output is whole or absent, never a temporary.
TEST_F(WatchCli, SignalLeavesNothingPartial) {
    std::string big = "N1G20\nN2T1005S18000\n";
    for (int i = 0; i < 200000; ++i) big.append("N3G0X1Y2\nN4G1Z0.5F100\nN5X3\n");
    write(root / "big.nc", big);
    const testing::CliOutcome whole = testing::runProgram(
        PATHSHIFT_CLI, {"convert", "--thickness", "0.75", "--dfs", "--tool", "1005=3", "--stdout", (root / "big.nc").string()}, root);
    ASSERT_EQ(whole.status, 0);
    ::setenv("PATHSHIFT_NAMED_TEMPORARIES", "1", 1);  // so that a partial file would have a name
    for (const int signal : {SIGINT, SIGTERM}) {
        start({}, "0");
        drop("big.nc", big);
        std::this_thread::sleep_for(100ms);
        EXPECT_EQ(stop(signal), 0) << log();
        for (const fs::directory_entry& entry : fs::directory_iterator(root / "out")) {
            EXPECT_EQ(entry.path().filename(), "big.nc");
            EXPECT_TRUE(testing::readWhole(entry.path()) == whole.out);
        }
        fs::remove(root / "in/big.nc");
    }
    ::unsetenv("PATHSHIFT_NAMED_TEMPORARIES");
}

TEST_F(WatchCli, RefusesTheSourceAsDestination) {
    const testing::CliOutcome same = testing::runProgram(
        PATHSHIFT_CLI, {"watch", "--thickness", "0.75", "-o", (root / "in").string(), (root / "in").string()}, root);
    EXPECT_EQ(same.status, 2);
    EXPECT_NE(same.err.find("the destination folder is the source folder"), std::string::npos) << same.err;
}

}  // namespace
}  // namespace pathshift
