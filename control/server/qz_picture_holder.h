// CQZPictureHolder: a picture holder that draws stretched, aligned or tiled over a background
// colour, and transparently (keyed on a colour or through a mask picture). Exported from the
// control's module by its decorated member names (see qzdialog32.def) for other controls.
//
// Render and both Mask overloads return TRUE when they drew, FALSE when they drew nothing: no
// target context, an empty or uninitialised picture, an empty rectangle, an unknown mode or a
// GDI object that could not be made. Every GDI object they make is released on every path.
#pragma once
#include <windows.h>

#include "device_context.h"
#include "picture_holder.h"
#include "rect.h"

// Drawing modes of Render.
inline constexpr int kRenderStretch = 0;  // the whole picture stretched over the rectangle
inline constexpr int kRenderSingle = 1;   // one copy at its own size, placed by the alignments
inline constexpr int kRenderTile = 2;     // copies at its own size from the top-left corner
// Alignments of kRenderSingle; any other value is left (horizontal) or top (vertical).
inline constexpr int kAlignFar = 1;  // right or bottom
inline constexpr int kAlignCentre = 2;

// Modules built against this declaration call through its virtual table: the slots are Render,
// Mask (colour), Mask (holder), then the destructor. Keep that order.
class CQZPictureHolder : public qzf::PictureHolder {
public:
  CQZPictureHolder();

  // Draws the picture into `target` on `dc` by `mode` with raster operation `rop`, over a fill of
  // `background`, clipped to `target`. `mask` (the target when null) is handed to Mask for icons.
  virtual BOOL Render(CDC* dc, CRect& target, int mode, int horizontal, int vertical, long background, long rop,
                      CRect* mask);
  // Draws the picture stretched into `target`, leaving out every pixel of colour `transparent`.
  // Leaves `dc`'s background colour at `transparent` and its text colour black.
  virtual BOOL Mask(CDC* dc, CRect& target, unsigned long transparent, CRect* unused);
  // Draws the picture into `target` through `mask`'s picture: black where the image shows, white
  // elsewhere (the image itself black where transparent). `bitmap` sizes the work bitmap.
  virtual BOOL Mask(CDC* dc, CRect& target, CQZPictureHolder* mask, CRect* bitmap);
  // Diagnostic: copies the area (0, 0, width, height) of each context to the screen side by side.
  void ShowStatus(CDC* first, CDC* second, CRect area);

  virtual ~CQZPictureHolder();
};
