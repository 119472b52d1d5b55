// Measures pathshift-cli verify against pathshift-cli convert on one program: best time of a few
// runs and the peak memory of each, and their ratios.
//
//   verify_bench PATHSHIFT_CLI SOURCE OUTPUT_FOLDER [RUNS]

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>

#include "child_run.h"

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: verify_bench PATHSHIFT_CLI SOURCE OUTPUT_FOLDER [RUNS]\n");
        return 2;
    }
    const int runs = argc > 4 ? std::atoi(argv[4]) : 3;
    struct stat info {};
    if (::stat(argv[2], &info) != 0) {
        std::perror(argv[2]);
        return 1;
    }
    const double megabytes = static_cast<double>(info.st_size) / (1024.0 * 1024.0);
    RunFigures convert, verify;
    if (!measureRuns({argv[1], "convert", "--thickness", "0.75", "--quiet", "-j", "1", "-o", argv[3], argv[2]}, runs,
                 convert) ||
        !measureRuns({argv[1], "verify", "--thickness", "0.75", "--quiet", argv[2]}, runs, verify))
        return 1;
    auto show = [&](const char* what, const RunFigures& f) {
        std::printf("%-8s %.1f MB source, best of %d runs: %.3f s (%.0f MB/s), peak memory %.1f MB\n", what, megabytes,
                    runs, f.seconds, megabytes / f.seconds, static_cast<double>(f.peakKb) / 1024.0);
    };
    show("convert", convert);
    show("verify", verify);
    std::printf("verify / convert: %.2f x the time, %.2f x the peak memory\n", verify.seconds / convert.seconds,
                static_cast<double>(verify.peakKb) / static_cast<double>(convert.peakKb));
    return 0;
}
