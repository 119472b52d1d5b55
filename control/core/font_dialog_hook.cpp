// CommdlgFontHook: the font dialog's hook; the hook's window is the dialog itself.
#include <windows.h>
#include <commdlg.h>

#include "dialog_hooks.h"
#include "qzcommdl_ids.h"

extern "C" UINT_PTR CALLBACK CommdlgFontHook(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  using namespace qz;
  switch (message) {
    case WM_INITDIALOG: {
      const auto* request = reinterpret_cast<const CHOOSEFONTA*>(lparam);
      HookDialogOpened(dialog, dialog, request ? reinterpret_cast<HWND>(request->lCustData) : nullptr, kFontDialog);
      return TRUE;
    }
    case WM_SHOWWINDOW:
      HookApplyPlacement(dialog, dialog);
      return 0;
    case WM_DESTROY:
      HookDialogClosed(dialog, kFontDialog);
      return 0;
    case WM_COMMAND:
      HookCommand(dialog, wparam, lparam);
      return 0;
    default:
      return 0;
  }
}
