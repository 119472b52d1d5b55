#include "picture_canvas.h"

#include <cstdio>
#include <vector>

namespace qztest {

namespace {

DWORD ToDib(Pixel c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }
Pixel FromDib(DWORD d) { return RGB((d >> 16) & 0xFF, (d >> 8) & 0xFF, d & 0xFF); }

BITMAPINFO TopDown32(int width, int height) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  return info;
}

IPicture* PictureOf(PICTDESC& description) {
  description.cbSizeofstruct = sizeof(PICTDESC);
  IPicture* picture = nullptr;
  if (FAILED(OleCreatePictureIndirect(&description, IID_IPicture, TRUE, reinterpret_cast<void**>(&picture))))
    return nullptr;
  return picture;
}

}  // namespace

Canvas::Canvas(int width, int height, Pixel fill) : width_(width), height_(height) {
  BITMAPINFO info = TopDown32(width, height);
  void* bits = nullptr;
  bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  bits_ = static_cast<DWORD*>(bits);
  dc_ = CreateCompatibleDC(nullptr);
  previous_ = SelectObject(dc_, bitmap_);
  cdc_.m_hDC = cdc_.m_hAttribDC = dc_;
  Fill(fill);
}

Canvas::~Canvas() {
  SelectObject(dc_, previous_);
  DeleteDC(dc_);
  DeleteObject(bitmap_);
}

Pixel Canvas::At(int x, int y) const {
  GdiFlush();
  return FromDib(bits_[y * width_ + x] & 0xFFFFFF);
}

void Canvas::Set(int x, int y, Pixel colour) {
  GdiFlush();
  bits_[y * width_ + x] = ToDib(colour);
}

void Canvas::Fill(Pixel colour) {
  GdiFlush();
  for (int i = 0; i < width_ * height_; ++i) bits_[i] = ToDib(colour);
}

std::string Canvas::Differences(const std::function<Pixel(int x, int y)>& expected) const {
  std::string report;
  int count = 0;
  for (int y = 0; y < height_; ++y)
    for (int x = 0; x < width_; ++x) {
      const Pixel want = expected(x, y), got = At(x, y);
      if (want == got) continue;
      if (++count <= 8) {
        char line[96];
        std::snprintf(line, sizeof line, "(%d,%d) got %06lx want %06lx; ", x, y, static_cast<unsigned long>(got),
                      static_cast<unsigned long>(want));
        report += line;
      }
    }
  if (count > 8) report += std::to_string(count) + " pixels differ";
  return report;
}

Pixel PatternAt(int x, int y) { return RGB(16 + (x * 7) % 224, 16 + (y * 7) % 224, 0x5A); }

HBITMAP MakeBitmap(int width, int height, const std::function<Pixel(int x, int y)>& colour) {
  std::vector<DWORD> pixels(static_cast<size_t>(width) * height);
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) pixels[static_cast<size_t>(y) * width + x] = ToDib(colour(x, y));
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  BITMAPINFO info = TopDown32(width, height);
  if (bitmap) SetDIBits(screen, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  return bitmap;
}

IPicture* MakeBitmapPicture(int width, int height, const std::function<Pixel(int x, int y)>& colour) {
  HBITMAP bitmap = MakeBitmap(width, height, colour);
  if (!bitmap) return nullptr;
  PICTDESC description{};
  description.picType = PICTYPE_BITMAP;
  description.bmp.hbitmap = bitmap;
  IPicture* picture = PictureOf(description);
  if (!picture) DeleteObject(bitmap);
  return picture;
}

IPicture* MakeIconPicture(int size, const std::function<Pixel(int x, int y)>& colour,
                          const std::function<bool(int x, int y)>& opaque) {
  // The AND mask is monochrome, set (the screen is kept) where transparent; the colour image is
  // black there. Monochrome rows are padded to 16 bits.
  const int stride = (size + 15) / 16 * 2;
  std::vector<BYTE> mask_bits(static_cast<size_t>(stride) * size, 0);
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x)
      if (!opaque(x, y)) mask_bits[static_cast<size_t>(y) * stride + x / 8] |= static_cast<BYTE>(0x80 >> (x % 8));
  HBITMAP mask = CreateBitmap(size, size, 1, 1, mask_bits.data());
  HBITMAP image = MakeBitmap(size, size, [&](int x, int y) { return opaque(x, y) ? colour(x, y) : RGB(0, 0, 0); });
  ICONINFO info{TRUE, 0, 0, mask, image};
  HICON icon = (mask && image) ? CreateIconIndirect(&info) : nullptr;
  if (mask) DeleteObject(mask);
  if (image) DeleteObject(image);
  if (!icon) return nullptr;
  PICTDESC description{};
  description.picType = PICTYPE_ICON;
  description.icon.hicon = icon;
  IPicture* picture = PictureOf(description);
  if (!picture) DestroyIcon(icon);
  return picture;
}

STDMETHODIMP ScriptedPicture::QueryInterface(REFIID iid, void** out) {
  *out = nullptr;
  if (iid != IID_IUnknown && iid != IID_IPicture) return E_NOINTERFACE;
  *out = static_cast<IPicture*>(this);
  AddRef();
  return S_OK;
}

STDMETHODIMP ScriptedPicture::SelectPicture(HDC, HDC* out, OLE_HANDLE* handle) {
  if (out) *out = nullptr;
  if (handle) *handle = 0;
  return E_NOTIMPL;
}

long GdiObjectCount() {
  const DWORD reported = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
  if (reported) return static_cast<long>(reported);
  // Where the count is not reported, probe the handle table: a handle with only its index set
  // names whatever object lives in that slot.
  long live = 0;
  for (UINT_PTR index = 1; index <= 0xFFFF; ++index)
    if (GetObjectType(reinterpret_cast<HGDIOBJ>(index))) ++live;
  return live;
}

}  // namespace qztest
