// Runs a program several times as a child process: best wall time and largest peak memory.
#pragma once

#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <vector>

struct RunFigures {
    double seconds = 1e30;  // best run
    long peakKb = 0;        // largest run
};

// Runs argv (program path first) `runs` times; false when a run fails.
inline bool measureRuns(std::vector<const char*> argv, int runs, RunFigures& figures) {
    argv.push_back(nullptr);
    for (int run = 0; run < runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        const pid_t child = ::fork();
        if (child == 0) {
            ::execv(argv[0], const_cast<char* const*>(argv.data()));
            ::_exit(127);
        }
        int status = 0;
        struct rusage usage {};
        ::wait4(child, &status, 0, &usage);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            std::fprintf(stderr, "%s %s failed (status %d)\n", argv[0], argv[1], status);
            return false;
        }
        if (seconds < figures.seconds) figures.seconds = seconds;
        if (usage.ru_maxrss > figures.peakKb) figures.peakKb = usage.ru_maxrss;
    }
    return true;
}
