#include "engine/plan/plan_svg.h"

#include <cmath>
#include <cstdio>
#include <numbers>

#include "engine/plan/move_lines.h"

namespace pathshift {
namespace {

// Pieces handed to the sink: large enough for few writes, small enough for little memory.
constexpr std::size_t kFlushSize = std::size_t{1} << 20;
// Page coordinates in hundredths of a pixel: finer is invisible, coarser bends short arcs.
constexpr int kPageDecimals = 2;
constexpr int kScaleSamples = 10;

// Page coordinates are written millions of times for a long program: whole hundredths turned into
// digits directly, which the C library's general formatting is several times slower at.
static_assert(kPageDecimals == 2);
std::string n(double value) {
    if (!std::isfinite(value) || std::abs(value) > 1e15) return planNumber(value, kPageDecimals);
    long long hundredths = std::llround(value * 100);
    std::string text;
    if (hundredths < 0) {
        text += '-';
        hundredths = -hundredths;
    }
    text += std::to_string(hundredths / 100);
    const int fraction = static_cast<int>(hundredths % 100);
    if (fraction != 0) {
        text += '.';
        text += static_cast<char>('0' + fraction / 10);
        if (fraction % 10 != 0) text += static_cast<char>('0' + fraction % 10);
    }
    return text;
}

std::string hex(Rgb c) {
    char text[8];
    std::snprintf(text, sizeof text, "#%02x%02x%02x", c.r, c.g, c.b);
    return text;
}

// Texts here are valid UTF-8 whose only control character is a tooltip's line break (shownLine()
// makes program lines so), which XML keeps as it is.
std::string escaped(const std::string& text) {
    std::string out;
    for (char c : text) {
        switch (c) {
            case '&': out += "&amp;"; break;
            case '<': out += "&lt;"; break;
            case '>': out += "&gt;"; break;
            case '"': out += "&quot;"; break;
            default: out += c;
        }
    }
    return out;
}

bool samePoint(PagePoint a, PagePoint b) {
    return std::abs(a.x - b.x) < 0.005 && std::abs(a.y - b.y) < 0.005;
}

PagePoint onCircle(const PlanSegment& s, double degrees) {
    const double r = degrees * std::numbers::pi / 180;
    return {s.centre.x + s.radius * std::cos(r), s.centre.y - s.radius * std::sin(r)};
}

}  // namespace

bool SvgPlanWriter::begin(const PlanPage& page, const PlanSummary& summary) {
    page_ = page;
    legend_ = legendLines(summary);
    if (summary.hasCuts()) scale_ = depthScale(summary, kScaleSamples);
    text_ += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    text_ += "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" + n(page.width) + "\" height=\"" +
             n(page.height) + "\" viewBox=\"0 0 " + n(page.width) + " " + n(page.height) + "\">\n";
    text_ += "<rect width=\"100%\" height=\"100%\" fill=\"#ffffff\"/>\n";
    text_ += "<g fill=\"none\" stroke-width=\"1.2\" stroke-linecap=\"round\" stroke-linejoin=\"round\">\n";
    return flushIfFull();
}

void SvgPlanWriter::point(PagePoint p) {
    text_ += n(p.x);
    text_ += ' ';
    text_ += n(p.y);
}

void SvgPlanWriter::closePath() {
    if (!pathOpen_) return;
    text_ += "\" stroke=\"" + hex(pathColour_) + "\"";
    if (pathRapid_) text_ += " stroke-dasharray=\"5 4\"";
    if (texts_) {
        text_ += '>';
        title();
        text_ += "</path>\n";
    } else {
        text_ += "/>\n";
    }
    pathOpen_ = false;
}

void SvgPlanWriter::LineRange::add(std::size_t line) {
    if (line == 0) return;
    if (first == 0 || line < first) first = line;
    if (line > last) last = line;
}

// "source lines 26-31 (26: N220G1X1)": the range, and the text of the group's first move's line.
std::string SvgPlanWriter::LineRange::text(const char* side, std::size_t firstMove, const std::string& shown) const {
    if (first == 0) return std::string("no ") + side + " line";
    if (first == last) return std::string(side) + " line " + std::to_string(first) + ": " + shown;
    std::string text = std::string(side) + " lines " + std::to_string(first) + "-" + std::to_string(last);
    if (firstMove != 0) text += " (" + std::to_string(firstMove) + ": " + shown + ")";
    return text;
}

// The lines of a group of moves, as ranges when there are several, with the first move's texts:
// a title per group keeps a long program's picture within reason.
void SvgPlanWriter::title() {
    const std::string tip = sources_.text("source", firstSource_, texts_->sourceText(firstSource_)) + "\n" +
                            targets_.text("target", firstTarget_, texts_->targetText(firstTarget_));
    text_ += "<title>" + escaped(tip) + "</title>";
}

// An arc as SVG arc commands; a full circle in two halves, since one arc cannot end where it starts.
void SvgPlanWriter::arc(const PlanSegment& s) {
    const std::string radius = n(s.radius) + " " + n(s.radius) + " 0 ";
    const char sweepFlag = s.sweep < 0 ? '1' : '0';  // the page's Y points down: clockwise is positive
    if (std::abs(s.sweep) >= 359.999) {
        text_ += "A" + radius + "0 " + sweepFlag + " ";
        point(onCircle(s, s.startAngle + s.sweep / 2));
        text_ += "A" + radius + "0 " + sweepFlag + " ";
        point(s.to);
        return;
    }
    text_ += "A" + radius + (std::abs(s.sweep) > 180 ? "1 " : "0 ") + sweepFlag + " ";
    point(s.to);
}

bool SvgPlanWriter::segment(const PlanSegment& s) {
    if (s.toolChange) markers_.push_back({s.from, s.tool});
    const bool sameStyle = pathOpen_ && pathRapid_ == s.rapid && pathColour_ == s.colour &&
                           pathSegments_ < kSegmentsPerPath;
    if (!sameStyle) {
        closePath();
        text_ += "<path d=\"";
        pathOpen_ = true;
        pathColour_ = s.colour;
        pathRapid_ = s.rapid;
        pathSegments_ = 0;
        sources_ = targets_ = {};
        firstSource_ = s.sourceLine;
        firstTarget_ = s.targetLine;
    }
    sources_.add(s.sourceLine);
    targets_.add(s.targetLine);
    if (!sameStyle || !samePoint(pen_, s.from)) {
        text_ += 'M';
        point(s.from);
    }
    if (s.shape == PlanSegment::Shape::Arc) {
        arc(s);
    } else {
        text_ += 'L';
        point(s.to);
    }
    pen_ = s.to;
    ++pathSegments_;
    return flushIfFull();
}

bool SvgPlanWriter::end() {
    closePath();
    text_ += "</g>\n";
    for (const Marker& m : markers_) {
        text_ += "<circle cx=\"" + n(m.at.x) + "\" cy=\"" + n(m.at.y) + "\" r=\"4\" fill=\"none\" stroke=\"" +
                 hex(kMarkerColour) + "\" stroke-width=\"1.5\"/>\n";
        text_ += "<text x=\"" + n(m.at.x + 6) + "\" y=\"" + n(m.at.y - 6) +
                 "\" font-family=\"sans-serif\" font-size=\"11\" fill=\"" + hex(kMarkerColour) + "\">T" +
                 std::to_string(m.tool) + "</text>\n";
    }
    const double top = page_.drawingHeight;
    text_ += "<g font-family=\"sans-serif\" font-size=\"12\" fill=\"#202020\">\n";
    text_ += "<line x1=\"0\" y1=\"" + n(top) + "\" x2=\"" + n(page_.width) + "\" y2=\"" + n(top) +
             "\" stroke=\"#c0c0c0\"/>\n";
    for (std::size_t i = 0; i < legend_.size(); ++i)
        text_ += "<text x=\"" + n(PlanPage::kMargin) + "\" y=\"" + n(top + 20 + 18 * i) + "\">" + escaped(legend_[i]) +
                 "</text>\n";
    const double barWidth = 16;
    for (std::size_t i = 0; i < scale_.size(); ++i)
        text_ += "<rect x=\"" + n(page_.width - PlanPage::kMargin - barWidth * (scale_.size() - i)) + "\" y=\"" +
                 n(top + 58) + "\" width=\"" + n(barWidth) + "\" height=\"10\" fill=\"" + hex(scale_[i]) + "\"/>\n";
    text_ += "</g>\n</svg>\n";
    if (failed_ || !sink_.write(text_)) failed_ = true;
    text_.clear();
    return !failed_;
}

bool SvgPlanWriter::flushIfFull() {
    if (text_.size() < kFlushSize) return !failed_;
    if (failed_ || !sink_.write(text_)) failed_ = true;
    text_.clear();
    return !failed_;
}

}  // namespace pathshift
