#pragma once
// Stored window positions checked against the screens there are now: a position from a monitor
// that is gone, or a hand-edited one, would put the window where no one can reach it.

#include <QPoint>
#include <QSize>

namespace pathshift::app {

// `topLeft` unchanged when the window's title bar would be on a screen; otherwise the position that
// puts the window on the nearest screen, whole where it fits.
QPoint placedOnScreen(const QPoint& topLeft, const QSize& size);

}  // namespace pathshift::app
