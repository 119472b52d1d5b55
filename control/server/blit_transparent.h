// Copies an area of one context to another leaving out the pixels of one colour.
#pragma once
#include <windows.h>

namespace qz {

// Copies (sx, sy, width, height) of `source` to (x, y) of `target`, leaving the target unchanged
// wherever the source has `target`'s current background colour. The colours of both contexts
// are as before afterwards. FALSE, with nothing drawn, for a missing context, an empty area, or
// a mask that could not be made.
BOOL BlitTransparent(HDC target, int x, int y, int width, int height, HDC source, int sx, int sy);

}  // namespace qz
