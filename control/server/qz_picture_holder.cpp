// Construction and the screen diagnostic of CQZPictureHolder; drawing is in qz_picture_render.cpp
// and qz_picture_mask.cpp.
#include "qz_picture_holder.h"

#include <climits>
#include <new>

CQZPictureHolder::CQZPictureHolder() = default;

// The constructor as callers built with the platform's usual C++ compiler call it: their
// constructors hand the object back, and on i686 they take it in ECX like every member call.
#ifdef __i386__
#define QZ_MEMBER_CALL __attribute__((thiscall))
#else
#define QZ_MEMBER_CALL
#endif
extern "C" QZ_MEMBER_CALL void* QzPictureHolderConstruct(void* self) { return new (self) CQZPictureHolder; }

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
