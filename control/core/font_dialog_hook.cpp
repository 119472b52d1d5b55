// CommdlgFontHook: the font dialog's hook; the hook's window is the dialog itself.
#include <windows.h>
#include <commdlg.h>

#include "dialog_hooks.h"
#include "qzcommdl_ids.h"

extern "C" UINT_PTR CALLBACK CommdlgFontHook(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  return qz::FramelessDialogHook<CHOOSEFONTA>(dialog, message, wparam, lparam, qz::kFontDialog);
}
