#include "picture_holder.h"

namespace qzf {

bool PictureHolder::Create(PICTDESC& description, bool take_ownership) {
  description.cbSizeofstruct = sizeof(PICTDESC);
  ComPtr<IPicture> created;
  if (FAILED(OleCreatePictureIndirect(&description, IID_IPicture, take_ownership ? TRUE : FALSE,
                                      created.PutVoid())))
    return false;
  picture_ = created;
  return true;
}

bool PictureHolder::CreateEmpty() {
  PICTDESC description{};
  description.picType = PICTYPE_NONE;
  return Create(description, false);
}

bool PictureHolder::CreateFromBitmap(HBITMAP bitmap, HPALETTE palette, bool take_ownership) {
  if (!bitmap) return false;
  PICTDESC description{};
  description.picType = PICTYPE_BITMAP;
  description.bmp.hbitmap = bitmap;
  description.bmp.hpal = palette;
  return Create(description, take_ownership);
}

bool PictureHolder::CreateFromIcon(HICON icon, bool take_ownership) {
  if (!icon) return false;
  PICTDESC description{};
  description.picType = PICTYPE_ICON;
  description.icon.hicon = icon;
  return Create(description, take_ownership);
}

short PictureHolder::GetType() const {
  short type = PICTYPE_UNINITIALIZED;
  if (picture_ && FAILED(picture_->get_Type(&type))) type = PICTYPE_UNINITIALIZED;
  return type;
}

bool PictureHolder::GetSizeHimetric(long& width, long& height) const {
  width = height = 0;
  OLE_XSIZE_HIMETRIC w = 0;
  OLE_YSIZE_HIMETRIC h = 0;
  if (!picture_ || FAILED(picture_->get_Width(&w)) || FAILED(picture_->get_Height(&h))) return false;
  width = w;
  height = h;
  return true;
}

void PictureHolder::Render(CDC* dc, const CRect& target, const CRect& bounds) const {
  long width = 0, height = 0;
  if (!dc || !dc->m_hDC || !GetSizeHimetric(width, height)) return;
  // The source is given bottom-up in HIMETRIC: from the bottom edge, a negative height.
  picture_->Render(dc->m_hDC, target.left, target.top, target.Width(), target.Height(), 0, height, width, -height,
                   &bounds);
}

}  // namespace qzf
