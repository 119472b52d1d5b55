// CQZPictureHolder::Render: the picture is drawn once into a work bitmap of its own size over the
// background fill, and that bitmap is stretched, placed or tiled onto the target.
#include <algorithm>
#include <climits>

#include "gdi_objects.h"
#include "qz_picture_holder.h"
#include "unit_conversion.h"

namespace {

// A coordinate moved by an offset, held within the range of int.
int Shift(int value, int offset) {
  return static_cast<int>(std::clamp<long long>(static_cast<long long>(value) + offset, INT_MIN, INT_MAX));
}

// Clips a context to a rectangle for the lifetime of the object. The rectangle is narrowed by the
// caller's own clipping region, which is put back afterwards.
class ClipToRect {
public:
  ClipToRect(CDC* dc, const CRect& area) : dc_(dc->m_hDC), saved_(CreateRectRgn(0, 0, 0, 0)) {
    if (!saved_) return;
    had_region_ = GetClipRgn(dc_, saved_.Get()) == 1;
    // Regions are in device units: shift by the viewport origin of the measuring context.
    POINT origin{0, 0};
    GetViewportOrgEx(dc->m_hAttribDC ? dc->m_hAttribDC : dc_, &origin);
    qzf::GdiObject<HRGN> region(CreateRectRgn(Shift(area.left, origin.x), Shift(area.top, origin.y),
                                              Shift(area.right, origin.x), Shift(area.bottom, origin.y)));
    if (!region) return;
    active_ = ExtSelectClipRgn(dc_, region.Get(), had_region_ ? RGN_AND : RGN_COPY) != ERROR;
  }
  ClipToRect(const ClipToRect&) = delete;
  ClipToRect& operator=(const ClipToRect&) = delete;
  ~ClipToRect() {
    if (active_) SelectClipRgn(dc_, had_region_ ? saved_.Get() : nullptr);
  }
  explicit operator bool() const { return active_; }

private:
  HDC dc_;
  qzf::GdiObject<HRGN> saved_;
  bool had_region_ = false;
  bool active_ = false;
};

// Left (top) edge of one copy of `size` in [near, far) by alignment.
int AlignedStart(int near_edge, int far_edge, int size, int alignment) {
  const long long span = static_cast<long long>(far_edge) - near_edge;
  if (alignment == kAlignFar) return static_cast<int>(static_cast<long long>(far_edge) - size);
  if (alignment == kAlignCentre) return static_cast<int>(near_edge + (span - size) / 2);
  return near_edge;
}

// Copies start at the rectangle's top-left corner and step by the picture's size while they start
// inside or on the rectangle's far edges. Only the copies that reach the visible part are drawn.
BOOL Tile(HDC target, const CRect& area, HDC source, int width, int height, DWORD rop) {
  RECT visible{};
  if (GetClipBox(target, &visible) == ERROR) return FALSE;
  const long long first_row = std::max<long long>(0, (static_cast<long long>(visible.top) - area.top) / height);
  const long long first_column = std::max<long long>(0, (static_cast<long long>(visible.left) - area.left) / width);
  const long long last_y = std::min<long long>(area.bottom, visible.bottom);
  const long long last_x = std::min<long long>(area.right, visible.right);
  BOOL drawn = TRUE;
  for (long long y = area.top + first_row * height; y <= last_y; y += height)
    for (long long x = area.left + first_column * width; x <= last_x; x += width)
      drawn &= BitBlt(target, static_cast<int>(x), static_cast<int>(y), width, height, source, 0, 0, rop) ? TRUE : FALSE;
  return drawn;
}

}  // namespace

BOOL CQZPictureHolder::Render(CDC* dc, CRect& target, int mode, int horizontal, int vertical, long background,
                              long rop, CRect* mask) {
  if (!dc || !dc->m_hDC) return FALSE;
  qzf::GdiObject<HBRUSH> brush(CreateSolidBrush(static_cast<COLORREF>(background)));
  if (!brush) return FALSE;
  CRect mask_area = mask ? *mask : target;

  const short type = GetType();
  if (type == PICTYPE_NONE || type == PICTYPE_UNINITIALIZED) return FALSE;
  long himetric_width = 0, himetric_height = 0;
  if (!GetSizeHimetric(himetric_width, himetric_height)) return FALSE;
  const int width = XHimetricToPixels(himetric_width);
  const int height = YHimetricToPixels(himetric_height);
  // A picture without area has nothing to draw, and could not be tiled.
  if (width <= 0 || height <= 0 || !qzf::IsDrawable(target)) return FALSE;

  qzf::GdiObject<HBITMAP> bitmap(qzf::CreateDisplayBitmap(width, height));
  if (!bitmap) return FALSE;
  qzf::OwnedDC memory(CreateCompatibleDC(dc->m_hDC));
  if (!memory) return FALSE;
  qzf::Selection selected(memory.Get(), bitmap.Get());
  if (!selected) return FALSE;

  OLE_HANDLE palette_handle = 0;
  if (SUCCEEDED(GetPicture()->get_hPal(&palette_handle)) && palette_handle) {
    HPALETTE palette = reinterpret_cast<HPALETTE>(static_cast<UINT_PTR>(palette_handle));
    SelectPalette(memory.Get(), palette, FALSE);
    RealizePalette(memory.Get());
    SelectPalette(dc->m_hDC, palette, FALSE);
    RealizePalette(dc->m_hDC);
  }

  const RECT work{0, 0, width, height};
  FillRect(memory.Get(), &work, brush.Get());
  CDC memory_dc;
  memory_dc.m_hDC = memory_dc.m_hAttribDC = memory.Get();
  CRect work_area(work);
  if (type == PICTYPE_ICON)
    Mask(&memory_dc, work_area, static_cast<unsigned long>(background), &mask_area);  // over the fill
  else
    PictureHolder::Render(&memory_dc, work_area, work_area);

  ClipToRect clip(dc, target);
  if (!clip) return FALSE;
  HDC out = dc->m_hDC;
  const DWORD raster = static_cast<DWORD>(rop);
  switch (mode) {
    case kRenderStretch:
      return StretchBlt(out, target.left, target.top, target.Width(), target.Height(), memory.Get(), 0, 0, width,
                        height, raster);
    case kRenderSingle:
      return BitBlt(out, AlignedStart(target.left, target.right, width, horizontal),
                    AlignedStart(target.top, target.bottom, height, vertical), width, height, memory.Get(), 0, 0,
                    raster);
    case kRenderTile:
      return Tile(out, target, memory.Get(), width, height, raster);
    default:
      return FALSE;
  }
}
