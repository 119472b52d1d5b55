// The hook procedures the control's dialogs run with, exported by name, and what they share with
// the dialog routines.
#pragma once
#include <windows.h>

namespace qz {

// What a file dialog's custom data points to: the control window to report to and the dialog kind.
struct FileDialogRequest {
  HWND control;
  LONG_PTR kind;
};

// Looks a hook up by its exported name in this module, as the system will call it.
FARPROC ExportedHook(const char* name);

// The common steps of every hook. `frame` is the window that is placed.
void HookDialogOpened(HWND hook, HWND frame, HWND control, short kind);
void HookDialogClosed(HWND hook, short kind);
void HookApplyPlacement(HWND hook, HWND frame);
void HookCommand(HWND hook, WPARAM wparam, LPARAM lparam);

// The whole hook of a dialog whose hook window is the dialog itself (font, print, print setup):
// `Request` is the request structure whose lCustData names the control's window.
template <class Request>
UINT_PTR FramelessDialogHook(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam, short kind) {
  switch (message) {
    case WM_INITDIALOG: {
      const auto* request = reinterpret_cast<const Request*>(lparam);
      HookDialogOpened(dialog, dialog, request ? reinterpret_cast<HWND>(request->lCustData) : nullptr, kind);
      return TRUE;
    }
    case WM_SHOWWINDOW:
      HookApplyPlacement(dialog, dialog);
      return 0;
    case WM_DESTROY:
      HookDialogClosed(dialog, kind);
      return 0;
    case WM_COMMAND:
      HookCommand(dialog, wparam, lparam);
      return 0;
    default:
      return 0;
  }
}

}  // namespace qz

extern "C" UINT_PTR CALLBACK CommdlgHook(HWND hook, UINT message, WPARAM wparam, LPARAM lparam);
extern "C" UINT_PTR CALLBACK CommdlgColorHook(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
extern "C" UINT_PTR CALLBACK CommdlgFontHook(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
extern "C" UINT_PTR CALLBACK CommdlgPrintHook(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
extern "C" UINT_PTR CALLBACK CommdlgPrintSetupHook(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam);
