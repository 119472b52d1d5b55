// The Action dispatcher and the dialog routines it runs.
#include "dispatch_error.h"
#include "qzcommdl_ctrl.h"

namespace qz {

void CQzcommdlCtrl::SetAction(short value) {
  RequireRunModeForSet();
  if (value < 0 || value > 6) RaiseControlError(kErrInvalidPropertyValue);
  action_ = value;
  const long result = RunDialog(value);
  if (result != 0) RaiseControlError(result);
}

// Each dialog routine returns 0 or a control error number; the help routine raises its own.
long CQzcommdlCtrl::RunDialog(short action) {
  switch (action) {
    case kOpen:
    case kSave:
      return RunFileDialog(action);
    case kColorDialog:
      return RunColorDialog();
    case kFontDialog:
      return RunFontDialog();
    case kPrint:
      return RunPrintDialog();
    case kShowHelpAction:
      RunHelp();
      return 0;
    case 0:
    default:
      return 0;
  }
}

}  // namespace qz
