// A rectangle in logical coordinates, as drawing helpers take it: a RECT with its size at hand.
// Width and height are right - left and bottom - top; an inverted rectangle counts as empty.
#pragma once
#include <windows.h>

class CRect : public RECT {
public:
  CRect() : RECT{0, 0, 0, 0} {}
  CRect(int l, int t, int r, int b) : RECT{l, t, r, b} {}
  CRect(const RECT& r) : RECT(r) {}

  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
  bool IsRectEmpty() const { return right <= left || bottom <= top; }
  void OffsetRect(int dx, int dy) {
    left += dx;
    right += dx;
    top += dy;
    bottom += dy;
  }
};

namespace qzf {
// Not empty, and its width and height fit in an int.
inline bool IsDrawable(const RECT& r) {
  return r.right > r.left && r.bottom > r.top && static_cast<long long>(r.right) - r.left <= 0x7FFFFFFF &&
         static_cast<long long>(r.bottom) - r.top <= 0x7FFFFFFF;
}
}  // namespace qzf
