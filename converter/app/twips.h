#pragma once
// Positions and sizes of the forms are kept in twips; the screen has 15 twips to a pixel.

#include <QRect>
#include <cmath>

namespace pathshift::app {

inline constexpr int kTwipsPerPixel = 15;

constexpr int pixels(int twips) { return twips / kTwipsPerPixel; }
constexpr int twips(int pixels) { return pixels * kTwipsPerPixel; }

// A position read from the settings; 0 for a value no screen has (a hand-edited file).
inline int pixelsFromStored(double twips) {
    if (!std::isfinite(twips) || std::fabs(twips) > 1e8) return 0;
    return static_cast<int>(std::lround(twips)) / kTwipsPerPixel;
}

// Left, top, width and height in twips.
constexpr QRect twipsRect(int left, int top, int width, int height) {
    return QRect(pixels(left), pixels(top), pixels(width), pixels(height));
}

}  // namespace pathshift::app
