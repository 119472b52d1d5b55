// The two transparent drawing operations of CQZPictureHolder.
#include "blit_transparent.h"
#include "gdi_objects.h"
#include "qz_picture_holder.h"

namespace {

bool HasPicture(const CQZPictureHolder& holder) {
  const short type = holder.GetType();
  return type != PICTYPE_NONE && type != PICTYPE_UNINITIALIZED;
}

}  // namespace

BOOL CQZPictureHolder::Mask(CDC* dc, CRect& target, unsigned long transparent, CRect*) {
  if (!dc || !dc->m_hDC || !HasPicture(*this) || !qzf::IsDrawable(target)) return FALSE;
  const CRect r = target;
  const CRect work(0, 0, r.Width(), r.Height());
  const COLORREF key = static_cast<COLORREF>(transparent);

  qzf::OwnedDC memory(CreateCompatibleDC(dc->m_hDC));
  if (!memory) return FALSE;
  qzf::GdiObject<HBITMAP> bitmap(CreateCompatibleBitmap(dc->m_hDC, work.Width(), work.Height()));
  if (!bitmap) return FALSE;
  qzf::Selection selected(memory.Get(), bitmap.Get());
  if (!selected) return FALSE;
  {
    qzf::GdiObject<HBRUSH> fill(CreateSolidBrush(key));
    if (!fill) return FALSE;
    FillRect(memory.Get(), &work, fill.Get());
  }

  // An icon carries its own transparency.
  if (GetType() == PICTYPE_ICON) {
    PictureHolder::Render(dc, r, r);
    return TRUE;
  }
  CDC memory_dc;
  memory_dc.m_hDC = memory_dc.m_hAttribDC = memory.Get();
  PictureHolder::Render(&memory_dc, work, work);
  SetBkColor(dc->m_hDC, key);
  SetTextColor(dc->m_hDC, RGB(0, 0, 0));
  return qz::BlitTransparent(dc->m_hDC, r.left, r.top, work.Width(), work.Height(), memory.Get(), 0, 0);
}

BOOL CQZPictureHolder::Mask(CDC* dc, CRect& target, CQZPictureHolder* mask, CRect* bitmap_area) {
  if (!dc || !dc->m_hDC || !mask || !bitmap_area) return FALSE;
  if (!HasPicture(*this) || !HasPicture(*mask) || !qzf::IsDrawable(target) || !qzf::IsDrawable(*bitmap_area))
    return FALSE;
  const CRect r = target;
  const CRect work(0, 0, r.Width(), r.Height());

  qzf::GdiObject<HBITMAP> bitmap(qzf::CreateDisplayBitmap(bitmap_area->Width(), bitmap_area->Height()));
  if (!bitmap) return FALSE;
  qzf::OwnedDC memory(CreateCompatibleDC(dc->m_hDC));
  if (!memory) return FALSE;
  qzf::Selection selected(memory.Get(), bitmap.Get());
  if (!selected) return FALSE;
  CDC memory_dc;
  memory_dc.m_hDC = memory_dc.m_hAttribDC = memory.Get();

  // The mask's black cuts the image's place out of the target; the image, black elsewhere, fills it.
  mask->qzf::PictureHolder::Render(&memory_dc, work, work);
  BOOL drawn = BitBlt(dc->m_hDC, r.left, r.top, work.Width(), work.Height(), memory.Get(), 0, 0, SRCAND);
  PictureHolder::Render(&memory_dc, work, work);
  drawn &= BitBlt(dc->m_hDC, r.left, r.top, work.Width(), work.Height(), memory.Get(), 0, 0, SRCPAINT) ? TRUE : FALSE;
  return drawn;
}
