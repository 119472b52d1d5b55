#include "screen_place.h"

#include <QGuiApplication>
#include <QRect>
#include <QScreen>
#include <algorithm>
#include <cmath>
#include <limits>

namespace pathshift::app {
namespace {

// The part of a window that must be on a screen for the operator to take hold of it and move it.
constexpr int kGripWidth = 100;
constexpr int kGripHeight = 30;

double distance(const QPoint& a, const QPoint& b) { return std::hypot(double(a.x() - b.x()), double(a.y() - b.y())); }

}  // namespace

QPoint placedOnScreen(const QPoint& topLeft, const QSize& size) {
    const QList<QScreen*> screens = QGuiApplication::screens();
    if (screens.isEmpty()) return topLeft;
    const QRect grip(topLeft, QSize(std::min(kGripWidth, size.width()), kGripHeight));
    QRect nearest;
    double best = std::numeric_limits<double>::max();
    const QPoint centre = QRect(topLeft, size).center();
    for (const QScreen* screen : screens) {
        const QRect area = screen->availableGeometry();
        if (area.contains(grip)) return topLeft;
        const double d = distance(area.center(), centre);
        if (d < best) {
            best = d;
            nearest = area;
        }
    }
    const int x = std::clamp(topLeft.x(), nearest.left(), std::max(nearest.left(), nearest.right() + 1 - size.width()));
    const int y = std::clamp(topLeft.y(), nearest.top(), std::max(nearest.top(), nearest.bottom() + 1 - size.height()));
    return {x, y};
}

}  // namespace pathshift::app
