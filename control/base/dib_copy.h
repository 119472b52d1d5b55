// Copies the bitmap selected in a device context into another context as a device-independent
// bitmap, so the picture survives in metafiles and on other devices.
#pragma once
#include <windows.h>

namespace qz {

// Draws the bitmap selected in `source` into `target`: stretched to `area` when `stretch` is
// set, otherwise at its own size at the top-left corner of `area`. Returns false when nothing
// could be drawn (no bitmap selected, no memory).
bool CopyBitmapAsDib(HDC target, HDC source, const RECT& area, bool stretch);

}  // namespace qz
