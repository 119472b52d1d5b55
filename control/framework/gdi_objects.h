// Owners for the GDI objects that drawing code makes for a moment, so that every path out of a
// function (early returns included) deletes what it created and deselects what it selected.
// Declare them in the order of creation: they are undone in reverse.
#pragma once
#include <windows.h>

#include <utility>

namespace qzf {

// A pen, brush, bitmap, region or palette, deleted on destruction.
template <class Handle>
class GdiObject {
public:
  GdiObject() = default;
  explicit GdiObject(Handle handle) : handle_(handle) {}
  GdiObject(const GdiObject&) = delete;
  GdiObject& operator=(const GdiObject&) = delete;
  ~GdiObject() { if (handle_) DeleteObject(handle_); }

  Handle Get() const { return handle_; }
  explicit operator bool() const { return handle_ != nullptr; }

private:
  Handle handle_ = nullptr;
};

// A device context from CreateCompatibleDC or CreateDC, deleted on destruction.
class OwnedDC {
public:
  explicit OwnedDC(HDC dc) : dc_(dc) {}
  OwnedDC(const OwnedDC&) = delete;
  OwnedDC& operator=(const OwnedDC&) = delete;
  ~OwnedDC() { if (dc_) DeleteDC(dc_); }

  HDC Get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

private:
  HDC dc_;
};

// An object selected into a context; the previous one goes back on destruction.
class Selection {
public:
  Selection(HDC dc, HGDIOBJ object) : dc_(dc), previous_(dc && object ? SelectObject(dc, object) : nullptr) {}
  Selection(const Selection&) = delete;
  Selection& operator=(const Selection&) = delete;
  ~Selection() { if (previous_) SelectObject(dc_, previous_); }

  explicit operator bool() const { return previous_ != nullptr; }

private:
  HDC dc_;
  HGDIOBJ previous_;
};

// A bitmap of the display's format, made through a short-lived "DISPLAY" context.
inline HBITMAP CreateDisplayBitmap(int width, int height) {
  HDC display = CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr);
  if (!display) return nullptr;
  HBITMAP bitmap = CreateCompatibleBitmap(display, width, height);
  DeleteDC(display);
  return bitmap;
}

}  // namespace qzf
