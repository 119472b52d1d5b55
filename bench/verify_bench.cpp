// Measures pathshift-cli verify against pathshift-cli convert on one program: best time of a few
// runs and the peak memory of each, and their ratios.
//
//   verify_bench PATHSHIFT_CLI SOURCE OUTPUT_FOLDER [RUNS]

#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

struct Figures {
    double seconds = 1e30;  // best run
    long peakKb = 0;        // largest run
};

// Runs the command `runs` times; false when a run fails.
bool measure(std::vector<const char*> argv, int runs, Figures& figures) {
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

}  // namespace

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
    Figures convert, verify;
    if (!measure({argv[1], "convert", "--thickness", "0.75", "--quiet", "-j", "1", "-o", argv[3], argv[2]}, runs,
                 convert) ||
        !measure({argv[1], "verify", "--thickness", "0.75", "--quiet", argv[2]}, runs, verify))
        return 1;
    auto show = [&](const char* what, const Figures& f) {
        std::printf("%-8s %.1f MB source, best of %d runs: %.3f s (%.0f MB/s), peak memory %.1f MB\n", what, megabytes,
                    runs, f.seconds, megabytes / f.seconds, static_cast<double>(f.peakKb) / 1024.0);
    };
    show("convert", convert);
    show("verify", verify);
    std::printf("verify / convert: %.2f x the time, %.2f x the peak memory\n", verify.seconds / convert.seconds,
                static_cast<double>(verify.peakKb) / static_cast<double>(convert.peakKb));
    return 0;
}
