#include "blit_transparent.h"

#include "gdi_objects.h"

namespace qz {

namespace {
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kWhite = RGB(255, 255, 255);
}  // namespace

BOOL BlitTransparent(HDC target, int x, int y, int width, int height, HDC source, int sx, int sy) {
  if (!target || !source || width <= 0 || height <= 0) return FALSE;
  qzf::OwnedDC mask_dc(CreateCompatibleDC(source));
  if (!mask_dc) return FALSE;
  qzf::GdiObject<HBITMAP> mask(CreateBitmap(width, height, 1, 1, nullptr));
  if (!mask) return FALSE;
  qzf::Selection selected(mask_dc.Get(), mask.Get());
  if (!selected) return FALSE;

  const COLORREF transparent = GetBkColor(target);
  const COLORREF target_text = GetTextColor(target);
  const COLORREF source_background = GetBkColor(source);
  SetTextColor(target, kBlack);

  // Copying colour to monochrome sets the bits of the source's background colour.
  SetBkColor(source, transparent);
  BitBlt(mask_dc.Get(), 0, 0, width, height, source, sx, sy, SRCCOPY);

  // Monochrome to colour: set bits become white, clear bits black. XOR, AND, XOR leaves the
  // target where the mask is white and puts the source everywhere else.
  SetBkColor(target, kWhite);
  BitBlt(target, x, y, width, height, source, sx, sy, SRCINVERT);
  BitBlt(target, x, y, width, height, mask_dc.Get(), 0, 0, SRCAND);
  BitBlt(target, x, y, width, height, source, sx, sy, SRCINVERT);

  SetBkColor(source, source_background);
  SetBkColor(target, transparent);
  SetTextColor(target, target_text);
  return TRUE;
}

}  // namespace qz
