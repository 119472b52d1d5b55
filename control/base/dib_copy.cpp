#include "dib_copy.h"

#include <cstring>

namespace qz {
namespace {

// Movable global memory, locked for the lifetime of the object.
class GlobalBlock {
public:
  explicit GlobalBlock(SIZE_T size) : handle_(GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size)) {
    if (handle_) data_ = GlobalLock(handle_);
  }
  ~GlobalBlock() {
    if (data_) GlobalUnlock(handle_);
    if (handle_) GlobalFree(handle_);
  }
  GlobalBlock(const GlobalBlock&) = delete;
  GlobalBlock& operator=(const GlobalBlock&) = delete;
  void* Data() const { return data_; }

private:
  HGLOBAL handle_;
  void* data_ = nullptr;
};

// Takes the bitmap out of `dc` for a moment to learn which one is selected.
HBITMAP SelectedBitmap(HDC dc) {
  HBITMAP probe = CreateBitmap(1, 1, 1, 1, nullptr);
  if (!probe) return nullptr;
  HGDIOBJ selected = SelectObject(dc, probe);
  if (selected) SelectObject(dc, selected);
  DeleteObject(probe);
  return static_cast<HBITMAP>(selected);
}

}  // namespace

bool CopyBitmapAsDib(HDC target, HDC source, const RECT& area, bool stretch) {
  HBITMAP bitmap = SelectedBitmap(source);
  BITMAP info{};
  if (!bitmap || !GetObjectW(bitmap, sizeof info, &info) || info.bmWidth <= 0 || info.bmHeight <= 0) return false;

  const int bits = info.bmPlanes * info.bmBitsPixel;
  const bool palette_device = bits == 8;
  // Every depth of 8 bits or less carries a colour table, which GetDIBits fills: it gets room
  // for one whatever the depth, not only for 256 colours.
  const int colours = bits <= 8 ? 1 << bits : 0;
  GlobalBlock header(sizeof(BITMAPINFOHEADER) + static_cast<SIZE_T>(colours) * sizeof(RGBQUAD));
  if (!header.Data()) return false;
  auto* bmi = static_cast<BITMAPINFO*>(header.Data());
  bmi->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi->bmiHeader.biWidth = info.bmWidth;
  bmi->bmiHeader.biHeight = info.bmHeight;
  bmi->bmiHeader.biPlanes = 1;
  bmi->bmiHeader.biBitCount = info.bmBitsPixel;
  bmi->bmiHeader.biCompression = BI_RGB;

  if (palette_device) {
    GlobalBlock palette(256 * sizeof(PALETTEENTRY));
    auto* entries = static_cast<PALETTEENTRY*>(palette.Data());
    if (entries && GetSystemPaletteEntries(source, 0, 256, entries) == 256) {
      for (int i = 0; i < 256; ++i)
        bmi->bmiColors[i] = RGBQUAD{entries[i].peBlue, entries[i].peGreen, entries[i].peRed, 0};
    }
  }

  const SIZE_T stride = ((static_cast<SIZE_T>(info.bmBitsPixel) * info.bmWidth + 31) / 32) * 4;
  GlobalBlock pixels(stride * info.bmHeight);
  if (!pixels.Data()) return false;
  if (!GetDIBits(source, bitmap, 0, info.bmHeight, pixels.Data(), bmi, DIB_RGB_COLORS)) return false;
  const int width = stretch ? area.right - area.left : info.bmWidth;
  const int height = stretch ? area.bottom - area.top : info.bmHeight;
  return StretchDIBits(target, area.left, area.top, width, height, 0, 0, info.bmWidth, info.bmHeight,
                       pixels.Data(), bmi, DIB_RGB_COLORS, SRCCOPY) != 0;
}

}  // namespace qz
