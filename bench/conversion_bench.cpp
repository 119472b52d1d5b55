// Measures pathshift-cli converting one program end to end (both scans and the write): throughput
// and the peak memory of the converting process.
//
//   conversion_bench PATHSHIFT_CLI SOURCE OUTPUT_FOLDER [RUNS]

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: conversion_bench PATHSHIFT_CLI SOURCE OUTPUT_FOLDER [RUNS]\n");
        return 2;
    }
    const int runs = argc > 4 ? std::atoi(argv[4]) : 3;
    struct stat info {};
    if (::stat(argv[2], &info) != 0) {
        std::perror(argv[2]);
        return 1;
    }
    const double megabytes = static_cast<double>(info.st_size) / (1024.0 * 1024.0);
    double best = 1e30;
    long peakKb = 0;
    for (int run = 0; run < runs; ++run) {
        const auto start = std::chrono::steady_clock::now();
        const pid_t child = ::fork();
        if (child == 0) {
            ::execl(argv[1], argv[1], "convert", "--thickness", "0.75", "--quiet", "-o", argv[3], argv[2],
                    static_cast<char*>(nullptr));
            ::_exit(127);
        }
        int status = 0;
        struct rusage usage {};
        ::wait4(child, &status, 0, &usage);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
            std::fprintf(stderr, "conversion failed (status %d)\n", status);
            return 1;
        }
        if (seconds < best) best = seconds;
        if (usage.ru_maxrss > peakKb) peakKb = usage.ru_maxrss;
    }
    const double peakMb = static_cast<double>(peakKb) / 1024.0;
    std::printf("source %.1f MB, best of %d runs: %.3f s, %.0f MB/s, peak memory %.1f MB (%.2f x source)\n",
                megabytes, runs, best, megabytes / best, peakMb, peakMb / megabytes);
    return 0;
}
