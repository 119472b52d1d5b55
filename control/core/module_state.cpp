#include "module_state.h"

#include "qzcommdl_ctrl.h"

namespace qz {

PrinterSelection& SharedPrinterSelection() {
  static PrinterSelection selection;
  return selection;
}

void ReleasePrinterSelection() {
  PrinterSelection& s = SharedPrinterSelection();
  if (s.dev_names) GlobalFree(s.dev_names);
  if (s.dev_mode) GlobalFree(s.dev_mode);
  s = PrinterSelection{};
}

HWND& CurrentDialogWindow() {
  static HWND window = nullptr;
  return window;
}

std::string& HookPathBuffer() {
  static std::string path;
  return path;
}

}  // namespace qz
