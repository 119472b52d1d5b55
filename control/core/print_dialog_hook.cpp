// CommdlgPrintHook and CommdlgPrintSetupHook: the print and print-setup dialogs' hooks. When the
// print dialog opens the setup dialog, both are registered at once, each under its own window.
#include <windows.h>
#include <commdlg.h>

#include "dialog_hooks.h"
#include "qzcommdl_ids.h"

extern "C" UINT_PTR CALLBACK CommdlgPrintHook(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  return qz::FramelessDialogHook<PRINTDLGA>(dialog, message, wparam, lparam, qz::kPrint);
}

extern "C" UINT_PTR CALLBACK CommdlgPrintSetupHook(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  return qz::FramelessDialogHook<PRINTDLGA>(dialog, message, wparam, lparam, qz::kPrintSetup);
}
