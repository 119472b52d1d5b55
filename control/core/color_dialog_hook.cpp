// CommdlgColorHook: the colour dialog's hook.
#include <windows.h>
#include <commdlg.h>

#include "dialog_hooks.h"
#include "qzcommdl_ids.h"

// The colour dialog's hook. Its end is reported once: at WM_DESTROY, at WM_CLOSE, or at a
// command whose notification code is 1 or 2; the first of these removes the registration, so
// the later ones find no control and send nothing.
extern "C" UINT_PTR CALLBACK CommdlgColorHook(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  using namespace qz;
  switch (message) {
    case WM_INITDIALOG: {
      const auto* request = reinterpret_cast<const CHOOSECOLORA*>(lparam);
      HookDialogOpened(dialog, dialog, reinterpret_cast<HWND>(request->lCustData), kColorDialog);
      return TRUE;
    }
    case WM_SHOWWINDOW:
      HookApplyPlacement(dialog, dialog);
      return 0;
    case WM_CLOSE:
    case WM_DESTROY:
      HookDialogClosed(dialog, kColorDialog);
      return 0;
    case WM_COMMAND:
      if (HIWORD(wparam) == 1 || HIWORD(wparam) == 2) {
        HookDialogClosed(dialog, kColorDialog);
        return 0;
      }
      HookCommand(dialog, wparam, lparam);
      return 0;
    default:
      return 0;
  }
}
