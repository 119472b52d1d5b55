#pragma once
// The toolpath drawn in a widget with the plan painter: the wheel zooms about the pointer, a drag
// pans, fitToWindow() shows the whole path again.

#include <QPoint>
#include <QWidget>
#include <QImage>
#include <QTimer>
#include <deque>

#include "engine/plan/plan_geometry.h"
#include "engine/toolpath/toolpath.h"

namespace pathshift::app {

// A move as the view keeps it: enough to draw, in a third of a Move's room, since a long program
// has millions.
struct StoredMove {
    float startX, startY, endX, endY, endZ, centreX, centreY;
    std::int16_t tool;
    MoveKind kind;
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
    double zoom() const { return zoom_; }
    QPointF pan() const { return pan_; }
    // The page mapping of the current view.
    PlanTransform transform() const;

protected:
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
};

}  // namespace pathshift::app
