// Drawing, window rules, the private messages from the dialog hooks, and the events.
#include <olectl.h>

#include "dispatch_error.h"
#include "module.h"
#include "module_state.h"
#include "qzcommdl_ctrl.h"
#include "system_calls.h"

namespace qz {
namespace {

// Event arguments are passed by reference to these process-wide cells; what a handler writes
// into them is not read back.
LONG g_event_window;
short g_event_kind;

}  // namespace

void CQzcommdlCtrl::HideAtRunTime() {
  if (const HWND hwnd = WindowHandle()) {
    ShowWindow(hwnd, SW_HIDE);
    EnableWindow(hwnd, FALSE);
  }
}

void CQzcommdlCtrl::OnDraw(HDC dc, const RECT& bounds) {
  if (AmbientUserMode()) {
    HideAtRunTime();
    return;
  }
  FillRect(dc, &bounds, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  HBITMAP bitmap = LoadBitmapW(qzf::Module::Instance(), MAKEINTRESOURCEW(kBitmapDesign));
  if (!bitmap) return;
  HDC display = CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr);
  HDC memory = CreateCompatibleDC(display);
  BITMAP info{};
  GetObjectW(bitmap, sizeof info, &info);
  HGDIOBJ old = SelectObject(memory, bitmap);
  StretchBlt(dc, bounds.left, bounds.top, bounds.right - bounds.left, bounds.bottom - bounds.top, memory, 0, 0,
             info.bmWidth, info.bmHeight, SRCCOPY);
  SelectObject(memory, old);
  DeleteDC(memory);
  DeleteDC(display);
  DeleteObject(bitmap);
}

void CQzcommdlCtrl::PreCreateWindow(CREATESTRUCTW& create) { create.style |= WS_BORDER; }

bool CQzcommdlCtrl::OnWindowMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) {
  switch (message) {
    case WM_NCCREATE:
      SetWindowLongPtrW(WindowHandle(), GWL_STYLE, GetWindowLongPtrW(WindowHandle(), GWL_STYLE) & ~WS_TABSTOP);
      return false;
    case WM_SETFOCUS:
      result = DefaultWindowProc(message, wparam, lparam);
      PostMessageW(WindowHandle(), WM_KEYDOWN, VK_TAB, 0);
      return true;
    case WM_DESTROY:
      result = DefaultWindowProc(message, wparam, lparam);
      ReleasePrinterSelection();
      if (printer_dc_) DeleteDC(printer_dc_);
      printer_dc_ = nullptr;
      // At design time the designer's help window is closed with the control.
      if (!help_file_.empty() && !AmbientUserMode()) TheSystemCalls().win_help(WindowHandle(), help_file_.c_str(), HELP_QUIT, 0);
      return true;
    default:
      if (HandleHookMessage(message, wparam, lparam)) {
        result = 0;
        return true;
      }
      return CQzControlBase::OnWindowMessage(message, wparam, lparam, result);
  }
}

bool CQzcommdlCtrl::HandleHookMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case UM_DIALOG_OPENED:
      dialog_hwnd_ = reinterpret_cast<HWND>(wparam);
      FireCommonDialogOpened(dialog_hwnd_, static_cast<short>(lparam));
      return true;
    case UM_DIALOG_CLOSED:
      dialog_hwnd_ = reinterpret_cast<HWND>(wparam);
      FireCommonDialogClosed(dialog_hwnd_, static_cast<short>(lparam));
      dialog_hwnd_ = nullptr;
      return true;
    case UM_FILENAME_CHANGED:
      StoreAndNotify(file_name_, HookPathBuffer(), kFilename);
      FireFilenameChange();
      return true;
    case UM_GET_PLACEMENT:
      if (lparam) FillPlacement(*reinterpret_cast<RECT*>(lparam));
      return true;
    case UM_SET_DEFAULT_PLACEMENT:
      if (lparam) StoreDefaultPlacement(*reinterpret_cast<const RECT*>(lparam));
      return true;
    case UM_HELP_CLICKED:
      FireHelpClick();
      return true;
    case UM_SHOW_HELP:
      // The Help button of a dialog: ShowHelp. An error it raises ends the handler; there is
      // no automation caller to receive it.
      try {
        SetAction(kShowHelpAction);
      } catch (const qzf::DispatchError&) {
      }
      return true;
    default:
      return false;
  }
}

void CQzcommdlCtrl::FireFilenameChange() { FireEvent(kFilenameChange, {}); }
void CQzcommdlCtrl::FireHelpClick() { FireEvent(kHelpClick, {}); }

void CQzcommdlCtrl::FireDialogEvent(DISPID id, HWND dialog, short kind) {
  g_event_window = HandleToLong(dialog);
  g_event_kind = kind;
  VARIANT args[2];
  args[0].vt = VT_I4 | VT_BYREF;
  args[0].plVal = &g_event_window;
  args[1].vt = VT_I2 | VT_BYREF;
  args[1].piVal = &g_event_kind;
  FireEvent(id, args);
}

void CQzcommdlCtrl::FireCommonDialogOpened(HWND dialog, short kind) { FireDialogEvent(kCommonDialogOpened, dialog, kind); }
void CQzcommdlCtrl::FireCommonDialogClosed(HWND dialog, short kind) { FireDialogEvent(kCommonDialogClosed, dialog, kind); }

}  // namespace qz
