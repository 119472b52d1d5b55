// The print and print-setup dialogs: page range, copies and flags handed over and read back,
// the process-wide printer selection, the printer device context in hDC, and the optional
// rewrite of the system default printer.
#include <windows.h>
#include <commdlg.h>

#include "default_printer.h"
#include "dialog_hooks.h"
#include "module.h"
#include "module_state.h"
#include "qzcommdl_ctrl.h"
#include "system_calls.h"

namespace qz {
namespace {

// The packed system layout of the 32-bit build.
static_assert(sizeof(void*) != 4 || sizeof(PRINTDLGA) == 66);

void MarkDefault(HGLOBAL dev_names) {
  if (auto* names = static_cast<DEVNAMES*>(GlobalLock(dev_names))) {
    names->wDefault = DN_DEFAULTPRN;
    GlobalUnlock(dev_names);
  }
}

}  // namespace

long CQzcommdlCtrl::RunPrintDialog() {
  const HWND focus = GetFocus();
  if (printer_dc_) DeleteDC(printer_dc_);
  printer_dc_ = nullptr;
  const HWND control = EnsureWindow();
  PrinterSelection& selection = SharedPrinterSelection();

  PRINTDLGA request{};
  request.lStructSize = sizeof request;
  request.hwndOwner = GetParent(control);
  request.hInstance = qzf::Module::Instance();
  request.hDevMode = selection.dev_mode;
  request.hDevNames = selection.dev_names;
  request.Flags = static_cast<DWORD>(flags_) | PD_RETURNDC | PD_ENABLEPRINTHOOK | PD_ENABLESETUPHOOK;
  request.nFromPage = static_cast<WORD>(from_page_);
  request.nToPage = static_cast<WORD>(to_page_);
  request.nMinPage = static_cast<WORD>(min_);
  request.nMaxPage = static_cast<WORD>(max_);
  request.nCopies = static_cast<WORD>(copies_);
  request.lCustData = reinterpret_cast<LPARAM>(control);
  request.lpfnPrintHook = reinterpret_cast<LPPRINTHOOKPROC>(reinterpret_cast<void*>(ExportedHook("CommdlgPrintHook")));
  request.lpfnSetupHook = reinterpret_cast<LPSETUPHOOKPROC>(reinterpret_cast<void*>(ExportedHook("CommdlgPrintSetupHook")));
  if (printer_default_ && selection.dev_names) MarkDefault(selection.dev_names);

  const SystemCalls& calls = TheSystemCalls();
  const BOOL chosen = calls.print_dlg(&request);
  const DWORD error = chosen ? 0 : calls.extended_error();
  // The dialog may replace the blocks it was given even when it fails; the selection follows
  // what the request holds now, so no block is lost or freed twice.
  selection.dev_names = request.hDevNames;
  selection.dev_mode = request.hDevMode;
  if (focus && IsWindow(focus)) SetFocus(focus);
  if (!chosen) return FailedDialogResult(error);

  if (printer_default_) WriteDefaultPrinter(request.hDevNames);
  printer_dc_ = request.hDC;
  min_ = static_cast<short>(request.nMinPage);
  max_ = static_cast<short>(request.nMaxPage);
  from_page_ = static_cast<short>(request.nFromPage);
  to_page_ = static_cast<short>(request.nToPage);
  copies_ = static_cast<short>(request.nCopies);
  flags_ = static_cast<long>(request.Flags);
  return 0;
}

}  // namespace qz
