// Drawing fixtures for the picture holder tests: a 32-bit memory canvas read back pixel by pixel,
// test pictures with a different colour in every pixel, a scripted picture object, and a count of
// the process's GDI objects.
#pragma once
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <functional>
#include <string>

#include "device_context.h"

namespace qztest {

// RGB of one pixel, as COLORREF (0x00BBGGRR).
using Pixel = COLORREF;

// A top-down 32-bit DIB section selected into its own memory context.
class Canvas {
public:
  Canvas(int width, int height, Pixel fill);
  Canvas(const Canvas&) = delete;
  Canvas& operator=(const Canvas&) = delete;
  ~Canvas();

  HDC dc() const { return dc_; }
  CDC* cdc() { return &cdc_; }
  int width() const { return width_; }
  int height() const { return height_; }
  Pixel At(int x, int y) const;
  void Set(int x, int y, Pixel colour);
  void Fill(Pixel colour);
  // Empty when every pixel is as `expected` says; otherwise the first few differences.
  std::string Differences(const std::function<Pixel(int x, int y)>& expected) const;

private:
  int width_, height_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ previous_ = nullptr;
  DWORD* bits_ = nullptr;
  CDC cdc_;
};

// The colour of pixel (x, y) of the test pictures: unique per pixel, never black or white.
Pixel PatternAt(int x, int y);
// A screen-compatible bitmap of `width` x `height` whose pixels are `colour(x, y)`.
HBITMAP MakeBitmap(int width, int height, const std::function<Pixel(int x, int y)>& colour);
// A picture object owning a bitmap made by MakeBitmap; null on failure.
IPicture* MakeBitmapPicture(int width, int height, const std::function<Pixel(int x, int y)>& colour);
// A square icon: `colour(x, y)` where `opaque(x, y)`, transparent elsewhere.
IPicture* MakeIconPicture(int size, const std::function<Pixel(int x, int y)>& colour,
                          const std::function<bool(int x, int y)>& opaque);

// A picture object that reports what it is told (type, HIMETRIC size) and counts its renders.
class ScriptedPicture : public IPicture {
public:
  ScriptedPicture(short type, long width, long height) : type_(type), width_(width), height_(height) {}
  int renders = 0;

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
  STDMETHODIMP_(ULONG) Release() override { return --refs_; }  // lives on the test's stack
  STDMETHODIMP get_Handle(OLE_HANDLE* out) override { *out = 0; return S_OK; }
  STDMETHODIMP get_hPal(OLE_HANDLE* out) override { *out = 0; return S_OK; }
  STDMETHODIMP get_Type(SHORT* out) override { *out = type_; return S_OK; }
  STDMETHODIMP get_Width(OLE_XSIZE_HIMETRIC* out) override { *out = width_; return S_OK; }
  STDMETHODIMP get_Height(OLE_YSIZE_HIMETRIC* out) override { *out = height_; return S_OK; }
  STDMETHODIMP Render(HDC, LONG, LONG, LONG, LONG, OLE_XPOS_HIMETRIC, OLE_YPOS_HIMETRIC, OLE_XSIZE_HIMETRIC,
                      OLE_YSIZE_HIMETRIC, LPCRECT) override { ++renders; return S_OK; }
  STDMETHODIMP set_hPal(OLE_HANDLE) override { return E_NOTIMPL; }
  STDMETHODIMP get_CurDC(HDC* out) override { *out = nullptr; return S_OK; }
  STDMETHODIMP SelectPicture(HDC, HDC* out, OLE_HANDLE* handle) override;
  STDMETHODIMP get_KeepOriginalFormat(BOOL* out) override { *out = FALSE; return S_OK; }
  STDMETHODIMP put_KeepOriginalFormat(BOOL) override { return S_OK; }
  STDMETHODIMP PictureChanged() override { return S_OK; }
  STDMETHODIMP SaveAsFile(LPSTREAM, BOOL, LONG*) override { return E_NOTIMPL; }
  STDMETHODIMP get_Attributes(DWORD* out) override { *out = 0; return S_OK; }
  ULONG refs() const { return refs_; }

private:
  short type_;
  long width_, height_;
  ULONG refs_ = 1;
};

// GDI objects (brushes, bitmaps, regions, contexts, ...) the process holds now.
long GdiObjectCount();

}  // namespace qztest
