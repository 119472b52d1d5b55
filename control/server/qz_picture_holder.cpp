// Construction and the screen diagnostic of CQZPictureHolder; drawing is in qz_picture_render.cpp
// and qz_picture_mask.cpp.
#include "qz_picture_holder.h"

#include <climits>

CQZPictureHolder::CQZPictureHolder() = default;

CQZPictureHolder::~CQZPictureHolder() = default;

void CQZPictureHolder::ShowStatus(CDC* first, CDC* second, CRect area) {
  if (!qzf::IsDrawable(area)) return;
  const int width = area.Width();
  const int height = area.Height();
  HWND desktop = GetDesktopWindow();
  HDC screen = GetDC(desktop);
  if (!screen) return;
  constexpr int kTop = 10;
  constexpr int kGap = 10;
  if (first && first->m_hDC) BitBlt(screen, 0, kTop, width, height, first->m_hDC, 0, 0, SRCCOPY);
  if (second && second->m_hDC && width <= INT_MAX - kGap)
    BitBlt(screen, width + kGap, kTop, width, height, second->m_hDC, 0, 0, SRCCOPY);
  ReleaseDC(desktop, screen);
}
