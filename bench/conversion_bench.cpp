// Measures pathshift-cli converting one program end to end (both scans and the write): throughput
// and the peak memory of the converting process.
//
//   conversion_bench PATHSHIFT_CLI SOURCE OUTPUT_FOLDER [RUNS]

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>

#include "child_run.h"

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
    RunFigures figures;
    if (!measureRuns({argv[1], "convert", "--thickness", "0.75", "--quiet", "-o", argv[3], argv[2]}, runs, figures))
        return 1;
    const double best = figures.seconds;
    const double peakMb = static_cast<double>(figures.peakKb) / 1024.0;
    std::printf("source %.1f MB, best of %d runs: %.3f s, %.0f MB/s, peak memory %.1f MB (%.2f x source)\n",
                megabytes, runs, best, megabytes / best, peakMb, peakMb / megabytes);
    return 0;
}
