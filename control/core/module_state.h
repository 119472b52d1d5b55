// State shared by every control instance in the process. The control is apartment-threaded and
// all of this is touched on the user-interface thread only.
#pragma once
#include <windows.h>

#include <string>

namespace qz {

struct PrinterSelection {
  HGLOBAL dev_names = nullptr;
  HGLOBAL dev_mode = nullptr;
};

PrinterSelection& SharedPrinterSelection();
void ReleasePrinterSelection();

// The dialog most recently initialised by any hook; the target of AddControl.
HWND& CurrentDialogWindow();

}  // namespace qz
