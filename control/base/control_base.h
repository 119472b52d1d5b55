// The base layer shared by the maker's controls: sits between the framework's control and the
// control class, and adds the mouse-pointer choice and error raising.
#pragma once
#include "error_detail.h"
#include "ole_control.h"

namespace qz {

// System cursors indexed by the mouse-pointer value; 99 selects the custom mouse icon.
inline constexpr short kMousePointerCustom = 99;

class CQzControlBase : public qzf::OleControl {
public:
  explicit CQzControlBase(const qzf::ControlClassTraits& traits) : OleControl(traits) {}

  [[noreturn]] static void RaiseControlError(long number);

  short MousePointer() const { return mouse_pointer_; }
  void SetMousePointer(short value) { mouse_pointer_ = value; }
  void SetMouseIcon(HCURSOR icon) { mouse_icon_ = icon; }
  ~CQzControlBase() override;

protected:
  bool OnWindowMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) override;
  // Draws through a display bitmap copied in as a device-independent bitmap, so that raster
  // operations of OnDraw survive in the metafile.
  void OnDrawMetafile(HDC dc, const RECT& bounds) override;
  // A property browser shows no text for the stock font.
  bool OnGetDisplayString(DISPID id, std::wstring& text) override;
  void OnBackColorChanged() override;
  // Navigation keys go to the control's own window instead of the container.
  bool PreTranslateMessage(MSG& msg) override;
  // A reflected WM_NOTIFY; true when handled, with the result in `result`.
  virtual bool OnChildNotify(WPARAM wparam, LPARAM lparam, LRESULT& result) {
    (void)wparam; (void)lparam; (void)result;
    return false;
  }

private:
  bool OnSetCursor(HWND window, UINT hit_test, LRESULT& result);
  HBRUSH BackgroundBrush();
  short mouse_pointer_ = 0;
  HCURSOR mouse_icon_ = nullptr;
  HBRUSH background_brush_ = nullptr;
#ifdef QZ_VERSION5
  ErrorTextLibrary error_texts_;  // held for the control's lifetime
#endif
};

}  // namespace qz
