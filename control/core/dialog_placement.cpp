// Where the dialogs go: the control's answers to the hooks' placement messages, in twips
// converted at the display's resolution.
#include "device_context.h"
#include "qzcommdl_ctrl.h"
#include "unit_conversion.h"

namespace qz {
namespace {

// A "DISPLAY" context used for both output and measuring, deleted with the object.
struct DisplayContext {
  CDC dc;
  DisplayContext() { dc.m_hDC = dc.m_hAttribDC = CreateDCA("DISPLAY", nullptr, nullptr, nullptr); }
  ~DisplayContext() {
    if (dc.m_hDC) DeleteDC(dc.m_hDC);
  }
};

short OrDefault(short value, short fallback) { return value ? value : fallback; }

}  // namespace

void CQzcommdlCtrl::FillPlacement(RECT& placement) {
  DisplayContext display;
  placement.top = static_cast<short>(YTwipsToPixels(OrDefault(dialog_top_, dialog_default_top_), &display.dc));
  placement.left = static_cast<short>(XTwipsToPixels(OrDefault(dialog_left_, dialog_default_left_), &display.dc));
  placement.right = static_cast<short>(XTwipsToPixels(OrDefault(dialog_width_, dialog_default_width_), &display.dc));
  placement.bottom = static_cast<short>(YTwipsToPixels(OrDefault(dialog_height_, dialog_default_height_), &display.dc));
}

void CQzcommdlCtrl::StoreDefaultPlacement(const RECT& placement) {
  DisplayContext display;
  dialog_default_top_ = static_cast<short>(YPixelsToTwips(placement.top, &display.dc));
  dialog_default_left_ = static_cast<short>(XPixelsToTwips(placement.left, &display.dc));
  dialog_default_width_ = static_cast<short>(XPixelsToTwips(placement.right, &display.dc));
  dialog_default_height_ = static_cast<short>(YPixelsToTwips(placement.bottom, &display.dc));
}

}  // namespace qz
