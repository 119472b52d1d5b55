// Holds one picture (bitmap, metafile or icon) through the platform's picture interface and draws
// it. Controls keep their picture properties in one of these; drawing helpers derive from it.
#pragma once
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include "com_ptr.h"
#include "device_context.h"
#include "rect.h"

namespace qzf {

class PictureHolder {
public:
  PictureHolder() = default;
  PictureHolder(const PictureHolder&) = delete;
  PictureHolder& operator=(const PictureHolder&) = delete;
  ~PictureHolder() = default;  // the ComPtr releases the picture

  // An empty picture of type PICTYPE_NONE.
  bool CreateEmpty();
  // With `take_ownership` the picture deletes the handle when it is released.
  bool CreateFromBitmap(HBITMAP bitmap, HPALETTE palette = nullptr, bool take_ownership = true);
  bool CreateFromIcon(HICON icon, bool take_ownership = true);
  // Holds `picture` (AddRef'd); null empties the holder.
  void SetPicture(IPicture* picture) { picture_ = ComPtr<IPicture>(picture); }
  // The held picture, not AddRef'd; null when the holder is empty.
  IPicture* GetPicture() const { return picture_.Get(); }

  // PICTYPE_UNINITIALIZED when the holder is empty.
  short GetType() const;
  // The picture's size in HIMETRIC; false (and zeros) when there is none.
  bool GetSizeHimetric(long& width, long& height) const;
  // Draws the whole picture into `target` on the output context of `dc`; `bounds` is the
  // window extent a metafile target needs. Does nothing without a picture or a context.
  void Render(CDC* dc, const CRect& target, const CRect& bounds) const;

private:
  bool Create(PICTDESC& description, bool take_ownership);
  ComPtr<IPicture> picture_;
};

}  // namespace qzf
