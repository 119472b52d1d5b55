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

// Each dialog routine returns 0 or a control error number. The font, print and help routines
// are not part of this build yet: their Action values are stored and open nothing.
long CQzcommdlCtrl::RunDialog(short action) {
  switch (action) {
    case kOpen:
    case kSave:
      return RunFileDialog(action);
    case kColorDialog:
      return RunColorDialog();
    case 0:
    default:
      return 0;
  }
}

}  // namespace qz
