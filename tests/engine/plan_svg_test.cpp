// The plan view's geometry and its SVG picture: extents that hold the arcs' bulges, the page
// mapping, and the picture of small converted programs counted element by element.

#include "engine/plan/plan_svg.h"

#include <gtest/gtest.h>

#include <regex>
#include <string>

#include "engine/plan/plan_preview.h"
#include "engine/io/scratch_file.h"
#include "support/program_text.h"

namespace pathshift {
namespace {

class StringSink final : public OutputSink {
public:
    bool write(std::string_view text) override {
        text_.append(text);
        return true;
    }
    std::string text_;
};

class MemorySource final : public TextSource {
public:
    explicit MemorySource(std::string text) : text_(std::move(text)) {}
    bool rewind(std::string&) override {
        at_ = 0;
        return true;
    }
    long read(char* into, std::size_t size, std::string&) override {
        const std::size_t n = std::min(size, text_.size() - at_);
        text_.copy(into, n, at_);
        at_ += n;
        return static_cast<long>(n);
    }
    std::size_t size() const override { return text_.size(); }
    long readAt(std::size_t offset, char* into, std::size_t size, std::string&) override {
        return static_cast<long>(text_.copy(into, size, std::min(offset, text_.size())));
    }

private:
    std::string text_;
    std::size_t at_ = 0;
};

ConversionOptions plungeOptions() {
    ConversionOptions options;
    options.thickness = "0.75";
    options.dfs = true;
    options.tools.appendRow({"1005", "3"});
    options.tools.appendRow({"1006", "4"});
    return options;
}

std::size_t count(const std::string& text, const std::string& pattern) {
    const std::regex re(pattern);
    return static_cast<std::size_t>(std::distance(std::sregex_iterator(text.begin(), text.end(), re),
                                                  std::sregex_iterator()));
}

struct Picture {
    std::string svg;
    PlanSummary summary;
};

Picture draw(std::string_view program, const ConversionOptions& options = plungeOptions()) {
    MemorySource source{std::string(program)};
    StringSink sink;
    SvgPlanWriter writer(sink);
    Picture picture;
    ConversionReport report;
    PreviewError error;
    EXPECT_TRUE(drawConvertedPlan(source, options, kPlanWidth, writer, report, picture.summary, error))
        << error.line << ": " << error.reason;
    picture.svg = sink.text_;
    return picture;
}

Move arcMove(MoveKind kind, Point3 start, Point3 end, double cx, double cy) {
    Move m;
    m.kind = kind;
    m.start = start;
    m.end = end;
    m.centreX = cx;
    m.centreY = cy;
    return m;
}

// One segment at 0.5 deep: two lines and an arc each way, then a second plunge, deeper, with
// another tool.
constexpr std::string_view kTwoSegments =
    "N1G20\nN2T1005S18000\nN3G0X0Y0\nN4G1Z0.5F100\nN5X2\nN6G2X3Y1I0J1\nN7G3X4Y2I1J0\n"
    "N8G0Z1\nN9T1006\nN10G0X5Y5\nN11G1Z0.25\nN12X6\n";
// (N6 and N7 both go the long way round: clockwise from below their centre to its right, and
// counter-clockwise from its left to above it.)

TEST(PlanSvg, APathPerRunOfOneStyleWithArcsAsArcsAndRapidsDashed) {
    const Picture p = draw(kTwoSegments);
    EXPECT_EQ(p.summary.cuts(), 6u) << p.svg;  // two plunges, a line, two arcs, a line
    EXPECT_EQ(p.summary.arcs(), 2u);
    // Rapids to the first plunge, the first segment's cuts, rapids to the second, its cuts, the
    // trailer's retract.
    EXPECT_EQ(count(p.svg, "<path "), 5u) << p.svg;
    EXPECT_EQ(count(p.svg, "<path [^>]*stroke-dasharray"), 3u) << p.svg;
    // Arc commands, clockwise (sweep flag 1 on a page whose Y points down) then counter-clockwise;
    // both go three quarters round (large-arc flag 1).
    const std::regex arc("A([0-9.]+) ([0-9.]+) 0 ([01]) ([01]) ");
    std::vector<std::string> flags;
    for (auto it = std::sregex_iterator(p.svg.begin(), p.svg.end(), arc); it != std::sregex_iterator(); ++it)
        flags.push_back((*it)[3].str() + (*it)[4].str());
    EXPECT_EQ(flags, (std::vector<std::string>{"11", "10"})) << p.svg;
    // The two tools are marked and named, and the legend says what the picture holds.
    EXPECT_EQ(count(p.svg, "<circle "), 2u) << p.svg;
    EXPECT_NE(p.svg.find(">T3</text>"), std::string::npos);
    EXPECT_NE(p.svg.find(">T4</text>"), std::string::npos);
    EXPECT_NE(p.svg.find("Units: inch"), std::string::npos);
    EXPECT_NE(p.svg.find("X 0 to 6   Y 0 to 5"), std::string::npos) << p.svg;
    EXPECT_NE(p.svg.find(std::to_string(p.summary.moves()) + " moves"), std::string::npos);
    EXPECT_NE(p.svg.find("Z 0.5 (yellow) to Z 0.25 (blue)"), std::string::npos) << p.svg;
    EXPECT_EQ(p.svg.rfind("</svg>\n"), p.svg.size() - 7);
}

TEST(PlanSvg, CutsOfOtherDepthsHaveOtherColours) {
    const Picture p = draw(kTwoSegments);
    std::vector<std::string> colours;
    const std::regex solid("<path d=\"[^\"]*\" stroke=\"(#[0-9a-f]{6})\">");
    for (auto it = std::sregex_iterator(p.svg.begin(), p.svg.end(), solid); it != std::sregex_iterator(); ++it)
        colours.push_back((*it)[1]);
    ASSERT_EQ(colours.size(), 2u) << p.svg;
    EXPECT_NE(colours[0], colours[1]);
}

TEST(PlanSvg, LongRunsAreSplitIntoBoundedPaths) {
    std::string program = "N1G21\nN2T1005\nN3G0X0Y0\nN4G1Z-1F100\n";
    const std::size_t lines = 2 * SvgPlanWriter::kSegmentsPerPath + 10;
    for (std::size_t i = 0; i < lines; ++i)
        program.append("N").append(std::to_string(i + 10)).append(i % 2 ? "X10Y" : "X0Y").append(std::to_string(i)).append("\n");
    const Picture p = draw(program);
    // The plunge and the lines: one more than twice the limit and ten.
    EXPECT_EQ(p.summary.cuts(), lines + 1);
    EXPECT_EQ(count(p.svg, "<path [^>]*stroke=\"#[0-9a-f]{6}\">"), 3u);
}

TEST(PlanSvg, EveryPathNamesItsLinesWithTheTextsShownSafely) {
    const Picture p = draw("N1G20\nN2T1005\nN3G0X1Y1\nN4G1Z0.5F100 &<\xFF\x01\xE2\x80\xAE\nN5X2\n");
    EXPECT_EQ(count(p.svg, "<path "), 3u);
    EXPECT_EQ(count(p.svg, "<path [^>]*><title>[^<]*</title></path>"), 3u) << p.svg;
    EXPECT_NE(p.svg.find("<title>source lines 4-5 (4: N4G1Z0.5F100 &amp;&lt;\\xFF\\x01\\u{202E})\n"
                         "target lines 26-27 (26: G1Z0F100)</title>"),
              std::string::npos)
        << p.svg;
    EXPECT_NE(p.svg.find("<title>no source line\ntarget line 28: G0Z2</title>"), std::string::npos);
}

TEST(PlanSvg, AFullCircleIsTwoHalfArcs) {
    StringSink sink;
    SvgPlanWriter writer(sink);
    PlanSummary summary;
    const Move circle = arcMove(MoveKind::ArcCounterClockwise, {1, 0, 0}, {1, 0, 0}, 0, 0);
    summary.move(circle);
    const PlanPage page = planPage(summary, 400);
    ASSERT_TRUE(writer.begin(page, summary));
    PlanRenderer renderer(summary, page.transform, writer);
    renderer.move(circle);
    ASSERT_TRUE(writer.end());
    EXPECT_EQ(count(sink.text_, "A"), 2u) << sink.text_;
    // The circle's extents are the whole circle, not its one point.
    EXPECT_DOUBLE_EQ(summary.minX(), -1);
    EXPECT_DOUBLE_EQ(summary.maxY(), 1);
}

TEST(PlanGeometry, ExtentsHoldTheBulgeOfAnArcButNotTheRestOfItsCircle) {
    PlanSummary summary;
    // A quarter from (1,0) counter-clockwise to (0,1): the bulge stays inside the square.
    summary.move(arcMove(MoveKind::ArcCounterClockwise, {1, 0, 0}, {0, 1, 0}, 0, 0));
    EXPECT_DOUBLE_EQ(summary.minX(), 0);
    EXPECT_DOUBLE_EQ(summary.maxX(), 1);
    EXPECT_DOUBLE_EQ(summary.minY(), 0);
    // The same ends clockwise go round three quarters of the circle.
    PlanSummary longWay;
    longWay.move(arcMove(MoveKind::ArcClockwise, {1, 0, 0}, {0, 1, 0}, 0, 0));
    EXPECT_DOUBLE_EQ(longWay.minX(), -1);
    EXPECT_DOUBLE_EQ(longWay.minY(), -1);
    EXPECT_DOUBLE_EQ(longWay.maxX(), 1);
}

TEST(PlanGeometry, ArcSweepsAreSignedByDirection) {
    PlanSummary summary;
    const Move ccw = arcMove(MoveKind::ArcCounterClockwise, {1, 0, 0}, {0, 1, 0}, 0, 0);
    const Move cw = arcMove(MoveKind::ArcClockwise, {1, 0, 0}, {0, 1, 0}, 0, 0);
    summary.move(ccw);
    const PlanTransform t = fitPlan(summary, 0, 0, 100, 100, 0);
    EXPECT_NEAR(planSegment(ccw, t, summary).sweep, 90, 1e-9);
    EXPECT_NEAR(planSegment(cw, t, summary).sweep, -270, 1e-9);
    EXPECT_NEAR(planSegment(cw, t, summary).startAngle, 0, 1e-9);
}

TEST(PlanGeometry, ThePageShowsProgramYUpAndFitsTheExtents) {
    PlanSummary summary;
    Move m;
    m.kind = MoveKind::Line;
    m.start = {-2, 1, 0};
    m.end = {2, 3, 0};
    summary.move(m);
    const PlanTransform t = fitPlan(summary, 0, 0, 420, 220, 10);
    EXPECT_DOUBLE_EQ(t.scale, 100);
    const PagePoint low = t.map(-2, 1), high = t.map(2, 3);
    EXPECT_DOUBLE_EQ(low.x, 10);
    EXPECT_DOUBLE_EQ(high.x, 410);
    EXPECT_DOUBLE_EQ(low.y, 210);  // lower in the program, lower on the page
    EXPECT_DOUBLE_EQ(high.y, 10);
}

TEST(PlanGeometry, DepthColoursRunFromShallowToDeep) {
    PlanSummary summary;
    Move m;
    m.kind = MoveKind::Line;
    m.end.z = 0.5;
    summary.move(m);
    m.end.z = -0.1;
    summary.move(m);
    EXPECT_EQ(depthColour(0.5, summary), (Rgb{240, 190, 0}));
    EXPECT_EQ(depthColour(-0.1, summary), (Rgb{20, 40, 160}));
    EXPECT_FALSE(depthColour(0.2, summary) == depthColour(0.5, summary));
}

TEST(PlanPreview, AProgramThatDoesNotConvertDrawsNothing) {
    MemorySource source{"N1T1005\nN2G0X0Y0\nN3T99999\nN4G1Z-0.25F100\n"};
    StringSink sink;
    SvgPlanWriter writer(sink);
    ConversionReport report;
    PlanSummary summary;
    PreviewError error;
    EXPECT_FALSE(drawConvertedPlan(source, plungeOptions(), kPlanWidth, writer, report, summary, error));
    EXPECT_EQ(error.line, 3u);
    EXPECT_TRUE(sink.text_.empty());
}

TEST(ScratchFile, ReadsBackWhatWasWrittenAsOftenAsAsked) {
    ScratchFile file;
    ASSERT_TRUE(file.open()) << file.error();
    ASSERT_TRUE(file.write("hello "));
    ASSERT_TRUE(file.write("world"));
    EXPECT_EQ(file.size(), 11u);
    for (int pass = 0; pass < 2; ++pass) {
        std::string error;
        ASSERT_TRUE(file.rewind(error));
        char buffer[32];
        const long got = file.read(buffer, sizeof buffer, error);
        EXPECT_EQ(std::string(buffer, static_cast<std::size_t>(got)), "hello world");
    }
}

}  // namespace
}  // namespace pathshift
