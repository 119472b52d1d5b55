// What pointing at a move in the preview costs on a long program: the move under the pointer found
// through the grid of moves against a scan of every move, and the tooltip's two lines read back.
//
//   hover_bench SOURCE [LOOKUPS]

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

#include "engine/plan/move_grid.h"
#include "engine/plan/move_lines.h"
#include "engine/toolpath/converted_program.h"

using namespace pathshift;

namespace {

class Moves final : public MoveSink {
public:
    bool move(const Move& m) override {
        moves.push_back(m);
        return true;
    }
    std::vector<Move> moves;
};

double secondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: hover_bench SOURCE [LOOKUPS]\n");
        return 2;
    }
    const int lookups = argc > 2 ? std::atoi(argv[2]) : 2000;
    ConversionOptions options;
    options.thickness = "0.75";
    SourceFile file;
    std::string readError;
    if (!file.open(argv[1], readError)) {
        std::fprintf(stderr, "%s: %s\n", argv[1], readError.c_str());
        return 1;
    }
    IndexedSource source(file);
    ConvertedProgram converted;
    ConversionReport report;
    PreviewError error;
    Moves collected;
    auto start = std::chrono::steady_clock::now();
    if (!converted.convert(source, options, report, error) ||
        !converted.replayWithSourceLines(source, options, collected, error)) {
        std::fprintf(stderr, "%s\n", error.reason.c_str());
        return 1;
    }
    const std::vector<Move>& moves = collected.moves;
    std::printf("converted and replayed with source lines: %zu moves in %.2f s\n", moves.size(), secondsSince(start));

    PlanSummary summary;
    for (const Move& m : moves) summary.move(m);
    const PlanTransform t = fitPlan(summary, 0, 0, 900, 600, PlanPage::kMargin);
    start = std::chrono::steady_clock::now();
    MoveGrid grid;
    grid.build(moves.size(), [&](std::size_t i) { return moveBox(moves[i]); });
    std::printf("grid built in %.3f s\n", secondsSince(start));

    std::mt19937 random(1);
    std::uniform_real_distribution<double> x(0, 900), y(0, 600);
    std::size_t found = 0;
    start = std::chrono::steady_clock::now();
    for (int i = 0; i < lookups; ++i) {
        const double px = (x(random) - t.originX) / t.scale, py = (t.originY - y(random)) / t.scale;
        double nearest = 4 / t.scale;
        grid.near(px, py, nearest, [&](std::size_t m) { nearest = std::min(nearest, moveDistance(moves[m], px, py, nearest)); });
        found += nearest < 4 / t.scale;
    }
    std::printf("through the grid: %.3f ms a look-up (%zu of %d points on a move)\n",
                secondsSince(start) * 1000 / lookups, found, lookups);
    start = std::chrono::steady_clock::now();
    const int scans = 5;
    for (int i = 0; i < scans; ++i) {
        const double px = (x(random) - t.originX) / t.scale, py = (t.originY - y(random)) / t.scale;
        double nearest = 4 / t.scale;
        for (const Move& m : moves) nearest = std::min(nearest, moveDistance(m, px, py, nearest));
    }
    std::printf("scanning every move: %.1f ms a look-up\n", secondsSince(start) * 1000 / scans);

    const MoveLineTexts texts(source, source.index(), converted.text(), converted.lines());
    std::uniform_int_distribution<std::size_t> pick(0, moves.size() - 1);
    start = std::chrono::steady_clock::now();
    for (int i = 0; i < lookups; ++i) {
        const Move& m = moves[pick(random)];
        if (texts.tooltip(m.sourceLine, m.targetLine).empty()) return 1;
    }
    std::printf("tooltip with both lines read back: %.3f ms\n", secondsSince(start) * 1000 / lookups);
    return 0;
}
