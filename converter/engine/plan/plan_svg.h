#pragma once
// A plan view as an SVG document, written as it is drawn. Consecutive segments of one colour and
// dash share a path element (up to a limit), which keeps the picture of a long program small;
// arcs are SVG arcs, rapids dashed, tool changes marked on top, the legend below the drawing.

#include <cstddef>
#include <string>
#include <vector>

#include "engine/io/output_text.h"
#include "engine/plan/plan_canvas.h"

namespace pathshift {

class SvgPlanWriter final : public PlanCanvas {
public:
    // Segments a path element holds at most, so that viewers never meet one huge element.
    static constexpr std::size_t kSegmentsPerPath = 400;

    explicit SvgPlanWriter(OutputSink& sink) : sink_(sink) {}
    bool begin(const PlanPage& page, const PlanSummary& summary) override;
    bool segment(const PlanSegment& segment) override;
    bool end() override;
    std::string error() const override { return failed_ ? "cannot write the picture" : ""; }
    // Each path element gets a tooltip naming its moves' source and target lines, with the texts of
    // its first move's lines.
    bool lineTexts(const MoveLineTexts* texts) override {
        texts_ = texts;
        return texts != nullptr;
    }

private:
    struct Marker {
        PagePoint at;
        int tool = 0;
    };
    struct LineRange {
        std::size_t first = 0, last = 0;
        void add(std::size_t line);
        std::string text(const char* side, std::size_t firstMove, const std::string& shown) const;
    };
    void closePath();
    void title();
    void point(PagePoint p);
    void arc(const PlanSegment& s);
    bool flushIfFull();

    OutputSink& sink_;
    std::string text_;
    PlanPage page_;
    std::vector<std::string> legend_;
    std::vector<Rgb> scale_;
    bool pathOpen_ = false;
    Rgb pathColour_;
    bool pathRapid_ = false;
    std::size_t pathSegments_ = 0;
    PagePoint pen_;
    std::vector<Marker> markers_;
    const MoveLineTexts* texts_ = nullptr;
    LineRange sources_, targets_;        // of the open path's moves
    std::size_t firstSource_ = 0, firstTarget_ = 0;  // its first move's
    bool failed_ = false;
};

}  // namespace pathshift
