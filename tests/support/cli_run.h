#pragma once
// pathshift-cli run two ways, its exit status, standard output and standard error captured: called
// in this process (runCli), or started as the real program with empty standard input (runProgram).

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "cli/command_line.h"

extern char** environ;

namespace pathshift::testing {

struct CliOutcome {
    int status = -1;  // exit status, or -1 when the program did not exit normally or did not start
    std::string out;
    std::string err;
};

inline std::string readWhole(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::string printable(const CliOutcome& o) {
    return "exit " + std::to_string(o.status) + "\n--- stdout:\n" + o.out + "\n--- stderr:\n" + o.err;
}

// The streams are held in memory: neither is a terminal.
inline CliOutcome runCli(const std::vector<std::string>& arguments) {
    char* out = nullptr;
    char* err = nullptr;
    std::size_t outSize = 0, errSize = 0;
    std::FILE* outStream = ::open_memstream(&out, &outSize);
    std::FILE* errStream = ::open_memstream(&err, &errSize);
    CliOutcome outcome;
    outcome.status = cli::runCommandLine(arguments, {outStream, errStream});
    std::fclose(outStream);
    std::fclose(errStream);
    outcome.out.assign(out, outSize);
    outcome.err.assign(err, errSize);
    std::free(out);
    std::free(err);
    return outcome;
}

// `scratch` is a folder for the captured streams.
inline CliOutcome runProgram(const std::string& program, const std::vector<std::string>& arguments,
                             const std::filesystem::path& scratch) {
    CliOutcome outcome;
    const std::filesystem::path outPath = scratch / ".stdout";
    const std::filesystem::path errPath = scratch / ".stderr";
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<std::string> all{program};
    all.insert(all.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (std::string& a : all) argv.push_back(a.data());
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int spawned = posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) return outcome;
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    outcome.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    outcome.out = readWhole(outPath);
    outcome.err = readWhole(errPath);
    std::filesystem::remove(outPath);
    std::filesystem::remove(errPath);
    return outcome;
}

}  // namespace pathshift::testing
