// Length conversions. HIMETRIC is 2540 per inch and twips 1440 per inch; the resolution is the
// device's logical pixels per inch.
#include "unit_conversion.h"

namespace {

constexpr int kHimetricPerInch = 2540;
constexpr int kTwipsPerInch = 1440;

// The screen's resolution, with the screen context released at once.
int ScreenDpi(int index) {
  HDC screen = GetDC(nullptr);
  const int dpi = screen ? GetDeviceCaps(screen, index) : 0;
  if (screen) ReleaseDC(nullptr, screen);
  return dpi;
}

// The output context's resolution when there is one, the screen's otherwise.
int OutputDpi(CDC* dc, int index) {
  if (dc && dc->m_hDC) return GetDeviceCaps(dc->m_hDC, index);
  return ScreenDpi(index);
}

// The measuring context's resolution; without a CDC a temporary display information context.
int AttribDpi(CDC* dc, int index) {
  if (dc) return dc->m_hAttribDC ? GetDeviceCaps(dc->m_hAttribDC, index) : 0;
  HDC display = CreateICA("Display", nullptr, nullptr, nullptr);
  if (!display) return 0;
  const int dpi = GetDeviceCaps(display, index);
  DeleteDC(display);
  return dpi;
}

long ContainerToHimetric(qzf::OleControl* control, float value, bool second, DWORD flags) {
  POINTF container{second ? 0.0f : value, second ? value : 0.0f};
  POINTL himetric{0, 0};
  if (control) control->TransformCoords(&himetric, &container, flags);
  return second ? himetric.y : himetric.x;
}

float HimetricToContainer(qzf::OleControl* control, long value, bool second) {
  POINTL himetric{second ? 0 : value, second ? value : 0};
  POINTF container{0.0f, 0.0f};
  if (control) control->TransformCoords(&himetric, &container, XFORMCOORDS_SIZE | XFORMCOORDS_HIMETRICTOCONTAINER);
  return second ? container.y : container.x;
}

constexpr DWORD kPositionToHimetric = XFORMCOORDS_POSITION | XFORMCOORDS_CONTAINERTOHIMETRIC;
constexpr DWORD kSizeToHimetric = XFORMCOORDS_SIZE | XFORMCOORDS_CONTAINERTOHIMETRIC;

}  // namespace

int XHimetricToPixels(long himetric) { return MulDiv(ScreenDpi(LOGPIXELSX), himetric, kHimetricPerInch); }
int YHimetricToPixels(long himetric) { return MulDiv(ScreenDpi(LOGPIXELSY), himetric, kHimetricPerInch); }
int XHimetricToPixels(long himetric, CDC* dc) { return MulDiv(OutputDpi(dc, LOGPIXELSX), himetric, kHimetricPerInch); }
int YHimetricToPixels(long himetric, CDC* dc) { return MulDiv(OutputDpi(dc, LOGPIXELSY), himetric, kHimetricPerInch); }
// MulDiv gives -1 for a zero resolution; a screen without one measures nothing.
long XPixelsToHimetric(long pixels) {
  const int dpi = ScreenDpi(LOGPIXELSX);
  return dpi > 0 ? MulDiv(kHimetricPerInch, pixels, dpi) : 0;
}
long YPixelsToHimetric(long pixels) {
  const int dpi = ScreenDpi(LOGPIXELSY);
  return dpi > 0 ? MulDiv(kHimetricPerInch, pixels, dpi) : 0;
}

long XContainerToHimetric(qzf::OleControl* control, float container) {
  return ContainerToHimetric(control, container, false, kPositionToHimetric);
}
long YContainerToHimetric(qzf::OleControl* control, float container) {
  return ContainerToHimetric(control, container, true, kPositionToHimetric);
}
long WidthContainerToHimetric(qzf::OleControl* control, float container) {
  return ContainerToHimetric(control, container, false, kSizeToHimetric);
}
long HeightContainerToHimetric(qzf::OleControl* control, float container) {
  return ContainerToHimetric(control, container, true, kSizeToHimetric);
}
float XHimetricToContainer(qzf::OleControl* control, long himetric) { return HimetricToContainer(control, himetric, false); }
float YHimetricToContainer(qzf::OleControl* control, long himetric) { return HimetricToContainer(control, himetric, true); }

int XPixelsToTwips(int pixels, CDC* dc) { return qz::PixelsToTwipsAt(pixels, AttribDpi(dc, LOGPIXELSX)); }
int YPixelsToTwips(int pixels, CDC* dc) { return qz::PixelsToTwipsAt(pixels, AttribDpi(dc, LOGPIXELSY)); }
int XTwipsToPixels(int twips, CDC* dc) { return qz::TwipsToPixelsAt(twips, AttribDpi(dc, LOGPIXELSX)); }
int YTwipsToPixels(int twips, CDC* dc) { return qz::TwipsToPixelsAt(twips, AttribDpi(dc, LOGPIXELSY)); }

namespace qz {

int TwipsPerPixel(int dpi) { return dpi > 0 ? kTwipsPerInch / dpi : 0; }

int PixelsToTwipsAt(int pixels, int dpi) { return pixels * TwipsPerPixel(dpi); }

int TwipsToPixelsAt(int twips, int dpi) {
  const int factor = TwipsPerPixel(dpi);
  return factor ? (twips + factor / 2) / factor : 0;
}

}  // namespace qz
