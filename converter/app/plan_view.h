#pragma once
// The toolpath drawn in a widget with the plan painter: the wheel zooms about the pointer, a drag
// pans, fitToWindow() shows the whole path again, and the move under the pointer names its lines
// in a tooltip.

#include <QPoint>
#include <QWidget>
#include <QImage>
#include <QTimer>
#include <deque>
#include <functional>

#include "engine/plan/move_grid.h"
#include "engine/plan/plan_geometry.h"
#include "engine/toolpath/toolpath.h"

namespace pathshift::app {

// A move as the view keeps it: enough to draw and to name its lines, in under half a Move's room,
// since a long program has millions. Lines past 32 bits are not met in a program that fits in memory.
struct StoredMove {
    float startX, startY, endX, endY, endZ, centreX, centreY;
    std::int16_t tool;
    MoveKind kind;
    std::uint32_t sourceLine, targetLine;
};

class PlanView : public QWidget {
    Q_OBJECT
public:
    explicit PlanView(QWidget* parent = nullptr);

    // Takes the moves of a replay, and sums them up for the legend at `rates`; showMoves() then
    // shows them.
    class Collector final : public MoveSink {
    public:
        explicit Collector(const MachiningRates& rates = {}) : summary_(rates) {}
        void begin(const ToolpathInfo& info) override {
            info_ = info;
            summary_.begin(info);
        }
        bool move(const Move& move) override;
        void toolCall(std::int16_t tool) override { summary_.toolCall(tool); }

    private:
        friend class PlanView;
        ToolpathInfo info_;
        PlanSummary summary_;
        std::deque<StoredMove> moves_;  // grows in blocks: no copy of millions of moves at each growth
    };
    void showMoves(Collector&& collected);

    std::size_t moveCount() const { return moves_.size(); }
    Move moveAt(std::size_t index) const;
    const ToolpathInfo& info() const { return info_; }
    const PlanSummary& summary() const { return summary_; }
    void fitToWindow();
    // The move drawn nearest to `at` (widget pixels) within a few pixels; the last drawn of equals,
    // since it lies on top. -1 when there is none.
    std::ptrdiff_t moveUnder(QPointF at) const;
    // The tooltip of a move, from its source and target lines (0 where it has none).
    void setDescribeLines(std::function<QString(std::size_t sourceLine, std::size_t targetLine)> describe) {
        describe_ = std::move(describe);
    }
    double zoom() const { return zoom_; }
    QPointF pan() const { return pan_; }
    // The page mapping of the current view.
    PlanTransform transform() const;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    PlanPage page() const;
    void drawInto(QPaintDevice& device);
    void changed();

    // A long program takes seconds to draw: while the operator zooms and pans, the last drawing is
    // shown moved and scaled, and the toolpath is drawn again once the view is still.
    static constexpr std::size_t kMovesDrawnAtOnce = 200000;
    static constexpr int kStillMilliseconds = 200;
    QImage drawn_;
    PlanTransform drawnWith_;
    bool drawnCurrent_ = false;
    QTimer still_;

    ToolpathInfo info_;
    std::deque<StoredMove> moves_;  // grows in blocks: no copy of millions of moves at each growth
    PlanSummary summary_;
    double zoom_ = 1;
    QPointF pan_;  // pixels the view is moved from the fitted position
    bool dragging_ = false;
    QPoint dragFrom_;
    MoveGrid grid_;  // the moves by place, for the one under the pointer
    std::function<QString(std::size_t, std::size_t)> describe_;
};

}  // namespace pathshift::app
