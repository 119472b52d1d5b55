// Measures pathshift-cli converting one program end to end (both scans and the write): throughput
// and the peak memory of the converting process.
//
// Beside it, read_split (from this program's folder) reading the same file and splitting it into
// lines, in the same run, both with memchr and with std::getline: the ratio of the speeds is what
// the machine's load does not change.
//
//   conversion_bench PATHSHIFT_CLI SOURCE OUTPUT_FOLDER [RUNS]

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

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
    RunFigures toStdout;
    const std::string quietStdout = "exec " + std::string(argv[1]) + " convert --thickness 0.75 --quiet --stdout '" +
                                    argv[2] + "' > /dev/null";
    if (!measureRuns({"/bin/sh", "-c", quietStdout.c_str()}, runs, toStdout)) return 1;
    std::printf("with --stdout, best of %d runs: %.3f s, %.0f MB/s, peak memory %.1f MB\n", runs, toStdout.seconds,
                megabytes / toStdout.seconds, static_cast<double>(toStdout.peakKb) / 1024.0);
    const std::string self(argv[0]);
    const std::string readSplit = self.substr(0, self.rfind('/') + 1) + "read_split";
    // Two floors: memchr over big pieces, and the std::getline loop most line readers are.
    for (const bool getline : {false, true}) {
        RunFigures floor;
        std::vector<const char*> command{readSplit.c_str(), argv[2]};
        if (getline) command.insert(command.begin() + 1, "--getline");
        if (!measureRuns(command, runs, floor)) return 1;
        std::printf("read and split lines (%s), best of %d runs: %.3f s, %.0f MB/s; conversion at %.2f x that speed "
                    "(%.2f x with --stdout)\n",
                    getline ? "std::getline" : "memchr", runs, floor.seconds, megabytes / floor.seconds,
                    floor.seconds / best, floor.seconds / toStdout.seconds);
    }
    return 0;
}
