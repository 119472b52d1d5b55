#include "plan_qt/plan_painter.h"

#include <QPainterPath>
#include <cmath>

namespace pathshift {
namespace {

QColor colourOf(Rgb c) { return QColor(c.r, c.g, c.b); }
QPointF pointOf(PagePoint p) { return QPointF(p.x, p.y); }
constexpr int kScaleSamples = 10;
// Beyond this many moves the picture is a dense mesh whose smoothing is not seen but costs several
// times the drawing itself.
constexpr std::size_t kMostSmoothedMoves = 250000;

}  // namespace

bool PlanPainter::begin(const PlanPage& page, const PlanSummary& summary) {
    page_ = page;
    summary_ = &summary;
    markers_.clear();
    run_.clear();
    runSegments_ = 0;
    painter_.setRenderHint(QPainter::Antialiasing, summary.moves() <= kMostSmoothedMoves);
    painter_.fillRect(QRectF(0, 0, page.width, page.height), Qt::white);
    painter_.setClipRect(QRectF(0, 0, page.width, page.drawingHeight));
    return true;
}

void PlanPainter::strokeRun() {
    if (runSegments_ == 0) return;
    // A cosmetic one-pixel pen takes the painter's fast line path; a wider one sends every path
    // through the outline stroker, which crawls on long programs.
    QPen pen(colourOf(runColour_), 1);
    pen.setCosmetic(true);
    if (runRapid_) pen.setDashPattern({4, 3});
    painter_.strokePath(run_, pen);
    run_.clear();
    runSegments_ = 0;
}

bool PlanPainter::segment(const PlanSegment& s) {
    if (s.toolChange) markers_.push_back({s.from, s.tool});
    if (runSegments_ > 0 && (runRapid_ != s.rapid || !(runColour_ == s.colour) || runSegments_ >= kSegmentsPerStroke))
        strokeRun();
    if (runSegments_ == 0 || run_.currentPosition() != pointOf(s.from)) run_.moveTo(pointOf(s.from));
    runColour_ = s.colour;
    runRapid_ = s.rapid;
    ++runSegments_;
    if (s.shape == PlanSegment::Shape::Line) {
        run_.lineTo(pointOf(s.to));
    } else {
        run_.arcTo(QRectF(s.centre.x - s.radius, s.centre.y - s.radius, 2 * s.radius, 2 * s.radius), s.startAngle,
                   s.sweep);
    }
    return true;
}

bool PlanPainter::end() {
    strokeRun();
    painter_.setPen(QPen(colourOf(kMarkerColour), 1.5));
    painter_.setBrush(Qt::NoBrush);
    QFont font = painter_.font();
    font.setPixelSize(11);
    painter_.setFont(font);
    for (const Marker& m : markers_) {
        painter_.drawEllipse(pointOf(m.at), 4, 4);
        painter_.drawText(QPointF(m.at.x + 6, m.at.y - 6), QStringLiteral("T%1").arg(m.tool));
    }
    painter_.setClipping(false);
    const double top = page_.drawingHeight;
    painter_.fillRect(QRectF(0, top, page_.width, page_.height - top), Qt::white);
    painter_.setPen(QColor(0xc0, 0xc0, 0xc0));
    painter_.drawLine(QPointF(0, top), QPointF(page_.width, top));
    font.setPixelSize(12);
    painter_.setFont(font);
    painter_.setPen(QColor(0x20, 0x20, 0x20));
    const std::vector<std::string> lines = legendLines(*summary_);
    for (std::size_t i = 0; i < lines.size(); ++i)
        painter_.drawText(QPointF(PlanPage::kMargin, top + 20 + 18 * static_cast<double>(i)),
                          QString::fromStdString(lines[i]));
    if (summary_->hasCuts()) {
        const std::vector<Rgb> scale = depthScale(*summary_, kScaleSamples);
        const double barWidth = 16;
        for (std::size_t i = 0; i < scale.size(); ++i)
            painter_.fillRect(QRectF(page_.width - PlanPage::kMargin - barWidth * static_cast<double>(scale.size() - i),
                                     top + 58, barWidth, 10),
                              colourOf(scale[i]));
    }
    return true;
}

}  // namespace pathshift
