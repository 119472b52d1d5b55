#include "plan_view.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "engine/plan/plan_canvas.h"
#include "plan_qt/plan_painter.h"

namespace pathshift::app {
namespace {
// Zoom limits: beyond them a view shows a single pixel of the part, or the part as a dot.
constexpr double kMostZoom = 10000;
constexpr double kLeastZoom = 0.05;
// One wheel notch (120 units) zooms by this factor.
constexpr double kNotchZoom = 1.25;
// How near the pointer a move must be drawn to be the one it points at, in pixels.
constexpr double kPointerReach = 4;

std::uint32_t line32(std::size_t line) { return static_cast<std::uint32_t>(std::min<std::size_t>(line, UINT32_MAX)); }
}  // namespace

PlanView::PlanView(QWidget* parent) : QWidget(parent) {
    setObjectName("PlanView");
    setMinimumSize(320, 240);
    still_.setSingleShot(true);
    still_.setInterval(kStillMilliseconds);
    connect(&still_, &QTimer::timeout, this, [this] {
        drawn_ = QImage();
        update();
    });
}

void PlanView::changed() {
    drawnCurrent_ = false;
    if (moves_.size() > kMovesDrawnAtOnce) still_.start();
    update();
}

bool PlanView::Collector::move(const Move& m) {
    summary_.move(m);
    moves_.push_back({static_cast<float>(m.start.x), static_cast<float>(m.start.y), static_cast<float>(m.end.x),
                      static_cast<float>(m.end.y), static_cast<float>(m.end.z), static_cast<float>(m.centreX),
                      static_cast<float>(m.centreY), m.tool, m.kind, line32(m.sourceLine), line32(m.targetLine)});
    return true;
}

void PlanView::showMoves(Collector&& collected) {
    info_ = collected.info_;
    moves_ = std::move(collected.moves_);
    drawn_ = QImage();
    summary_ = collected.summary_;
    grid_.build(moves_.size(), [this](std::size_t i) { return moveBox(moveAt(i)); });
    fitToWindow();
}

Move PlanView::moveAt(std::size_t index) const {
    const StoredMove& s = moves_[index];
    Move m;
    m.kind = s.kind;
    m.start = {s.startX, s.startY, 0};
    m.end = {s.endX, s.endY, s.endZ};
    m.centreX = s.centreX;
    m.centreY = s.centreY;
    m.tool = s.tool;
    m.sourceLine = s.sourceLine;
    m.targetLine = s.targetLine;
    return m;
}

std::ptrdiff_t PlanView::moveUnder(QPointF at) const {
    const PlanTransform t = transform();
    if (at.y() >= height() - PlanPage::kLegendHeight || t.scale <= 0) return -1;
    const double x = (at.x() - t.originX) / t.scale, y = (t.originY - at.y()) / t.scale;
    std::ptrdiff_t found = -1;
    double nearest = kPointerReach / t.scale;
    grid_.near(x, y, nearest, [&](std::size_t i) {
                   const double d = moveDistance(moveAt(i), x, y, nearest);
                   if (d < nearest || (d == nearest && found >= 0 && static_cast<std::ptrdiff_t>(i) > found)) {
                       nearest = d;
                       found = static_cast<std::ptrdiff_t>(i);
                   }
               });
    return found;
}

bool PlanView::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip) return QWidget::event(event);
    auto* help = static_cast<QHelpEvent*>(event);
    const std::ptrdiff_t under = describe_ ? moveUnder(help->pos()) : -1;
    if (under < 0) {
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    const StoredMove& m = moves_[static_cast<std::size_t>(under)];
    QToolTip::showText(help->globalPos(), describe_(m.sourceLine, m.targetLine), this);
    return true;
}

void PlanView::fitToWindow() {
    zoom_ = 1;
    pan_ = QPointF();
    drawn_ = QImage();
    changed();
}

PlanPage PlanView::page() const {
    PlanPage page;
    page.width = width();
    page.height = height();
    page.drawingHeight = std::max(1.0, height() - PlanPage::kLegendHeight);
    page.transform = transform();
    return page;
}

PlanTransform PlanView::transform() const {
    const double drawingHeight = std::max(1.0, height() - PlanPage::kLegendHeight);
    PlanTransform t = fitPlan(summary_, 0, 0, width(), drawingHeight, PlanPage::kMargin);
    // Zoom about the drawing area's centre, then pan.
    const double cx = width() / 2.0, cy = drawingHeight / 2.0;
    t.originX = cx + (t.originX - cx) * zoom_ + pan_.x();
    t.originY = cy + (t.originY - cy) * zoom_ + pan_.y();
    t.scale *= zoom_;
    return t;
}

void PlanView::drawInto(QPaintDevice& device) {
    QPainter painter(&device);
    PlanPainter canvas(painter);
    const PlanPage p = page();
    canvas.begin(p, summary_);
    PlanRenderer renderer(summary_, p.transform, canvas);
    for (std::size_t i = 0; i < moves_.size(); ++i) renderer.move(moveAt(i));
    canvas.end();
}

void PlanView::paintEvent(QPaintEvent*) {
    if (moves_.size() <= kMovesDrawnAtOnce) {
        drawInto(*this);
        return;
    }
    const PlanTransform now = transform();
    const bool still = !still_.isActive();
    if (drawn_.isNull() || drawn_.size() != size() || (still && !drawnCurrent_)) {
        drawn_ = QImage(size(), QImage::Format_RGB32);
        drawInto(drawn_);
        drawnWith_ = now;
        drawnCurrent_ = true;
    }
    QPainter painter(this);
    const double drawingHeight = std::max(1.0, height() - PlanPage::kLegendHeight);
    const QRectF legend(0, drawingHeight, width(), height() - drawingHeight);
    // The old drawing moved and scaled onto the new view; the legend stays where it is.
    const double k = now.scale / drawnWith_.scale;
    painter.fillRect(rect(), Qt::white);
    painter.save();
    painter.setClipRect(QRectF(0, 0, width(), drawingHeight));
    painter.translate(now.originX - drawnWith_.originX * k, now.originY - drawnWith_.originY * k);
    painter.scale(k, k);
    painter.drawImage(QPointF(0, 0), drawn_, QRectF(0, 0, width(), drawingHeight));
    painter.restore();
    painter.drawImage(legend, drawn_, legend);
}

void PlanView::wheelEvent(QWheelEvent* event) {
    const double notches = event->angleDelta().y() / 120.0;
    if (notches == 0) return;
    const double newZoom = std::clamp(zoom_ * std::pow(kNotchZoom, notches), kLeastZoom, kMostZoom);
    // Keep the point under the pointer where it is.
    const double drawingHeight = std::max(1.0, height() - PlanPage::kLegendHeight);
    const QPointF centre(width() / 2.0, drawingHeight / 2.0);
    const QPointF at = event->position();
    const double k = newZoom / zoom_;
    pan_ = at - centre - (at - centre - pan_) * k;
    zoom_ = newZoom;
    changed();
    event->accept();
}

void PlanView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    dragging_ = true;
    dragFrom_ = event->position().toPoint();
    setCursor(Qt::ClosedHandCursor);
}

void PlanView::mouseMoveEvent(QMouseEvent* event) {
    if (!dragging_) return;
    const QPoint now = event->position().toPoint();
    pan_ += QPointF(now - dragFrom_);
    dragFrom_ = now;
    changed();
}

void PlanView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    dragging_ = false;
    unsetCursor();
}

}  // namespace pathshift::app
