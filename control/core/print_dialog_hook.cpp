// CommdlgPrintHook and CommdlgPrintSetupHook: the print and print-setup dialogs' hooks. When the
// print dialog opens the setup dialog, both are registered at once, each under its own window.
#include <windows.h>
#include <commdlg.h>

#include "dialog_hooks.h"
#include "qzcommdl_ids.h"

namespace {

UINT_PTR PrintHook(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam, short kind) {
  using namespace qz;
  switch (message) {
    case WM_INITDIALOG: {
      const auto* request = reinterpret_cast<const PRINTDLGA*>(lparam);
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

}  // namespace

extern "C" UINT_PTR CALLBACK CommdlgPrintHook(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  return PrintHook(dialog, message, wparam, lparam, qz::kPrint);
}

extern "C" UINT_PTR CALLBACK CommdlgPrintSetupHook(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  return PrintHook(dialog, message, wparam, lparam, qz::kPrintSetup);
}
