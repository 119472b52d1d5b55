// Length conversions between HIMETRIC, device pixels, twips and the container's unit.
// Exported by their decorated names (see qzdialog32.def) for modules built against this header.
#pragma once
#include <windows.h>

#include "device_context.h"
#include "ole_control.h"

int XHimetricToPixels(long himetric);
int YHimetricToPixels(long himetric);
int XHimetricToPixels(long himetric, CDC* dc);
int YHimetricToPixels(long himetric, CDC* dc);
long XPixelsToHimetric(long pixels);
long YPixelsToHimetric(long pixels);

long XContainerToHimetric(qzf::OleControl* control, float container);
long YContainerToHimetric(qzf::OleControl* control, float container);
long WidthContainerToHimetric(qzf::OleControl* control, float container);
long HeightContainerToHimetric(qzf::OleControl* control, float container);
// Also exported as WidthHimetricToContainer and HeightHimetricToContainer: both convert a size.
float XHimetricToContainer(qzf::OleControl* control, long himetric);
float YHimetricToContainer(qzf::OleControl* control, long himetric);

int XPixelsToTwips(int pixels, CDC* dc);
int YPixelsToTwips(int pixels, CDC* dc);
int XTwipsToPixels(int twips, CDC* dc);
int YTwipsToPixels(int twips, CDC* dc);

namespace qz {
// The twip arithmetic at a given resolution. The factor is 1440 / dpi truncated; a resolution
// finer than 1440 dpi or unknown (0 or less) has no whole factor, and both directions give 0.
int TwipsPerPixel(int dpi);
int PixelsToTwipsAt(int pixels, int dpi);
int TwipsToPixelsAt(int twips, int dpi);
}  // namespace qz
