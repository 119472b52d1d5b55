// The control's property pages and its about box.
#include "about_box.h"
#include "qzcommdl_ctrl.h"

namespace qz {
namespace {

constexpr CLSID kStockColorPage = {0x0BE35201, 0x8F91, 0x11CE, {0x9D, 0xE3, 0x00, 0xAA, 0x00, 0x4B, 0xB8, 0x51}};
constexpr CLSID kStockFontPage = {0x0BE35200, 0x8F91, 0x11CE, {0x9D, 0xE3, 0x00, 0xAA, 0x00, 0x4B, 0xB8, 0x51}};

}  // namespace

std::vector<CLSID> CQzcommdlCtrl::PropertyPages() const {
  return {kClsidGeneralPage, kClsidMorePage, kStockColorPage, kStockFontPage};
}

#ifndef QZ_VERSION5  // the older build shows the runtime library's dialog instead
// Owned by the control's window, made hidden when no container gave it one.
void CQzcommdlCtrl::AboutBox() { ShowAboutBox(EnsureWindow()); }
#endif

}  // namespace qz
