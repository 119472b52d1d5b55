// The colour dialog: Color and the sixteen UserColors through the module-wide custom colour table.
#include <windows.h>
#include <commdlg.h>

#include <algorithm>

#include "dialog_hooks.h"
#include "qzcommdl_ctrl.h"
#include "system_calls.h"

namespace qz {
namespace {

// Handed to every colour dialog in the process; each run fills it from its own control first.
COLORREF g_custom_colors[16];

}  // namespace

long CQzcommdlCtrl::RunColorDialog() {
  const HWND focus = GetFocus();
  const HWND control = EnsureWindow();
  CHOOSECOLORA request{};
  request.lStructSize = sizeof request;
  request.hwndOwner = GetParent(control);
  request.rgbResult = color_.value;
  request.lpCustColors = g_custom_colors;
  request.Flags = static_cast<DWORD>(flags_) | CC_ENABLEHOOK;
  request.lCustData = reinterpret_cast<LPARAM>(control);
  request.lpfnHook = reinterpret_cast<LPCCHOOKPROC>(reinterpret_cast<void*>(ExportedHook("CommdlgColorHook")));
  std::copy(user_colors_.begin(), user_colors_.end(), g_custom_colors);

  const SystemCalls& calls = TheSystemCalls();
  const BOOL chosen = calls.choose_color(&request);
  const DWORD error = chosen ? 0 : calls.extended_error();
  if (focus && IsWindow(focus)) SetFocus(focus);
  if (!chosen) return FailedDialogResult(error);
  std::copy(std::begin(g_custom_colors), std::end(g_custom_colors), user_colors_.begin());
  StoreAndNotify(color_.value, request.rgbResult, kColor);
  return 0;
}

}  // namespace qz
