// The older build's about box: the runtime library's dialog, with the control as its parent.
#include <atomic>

#include "about_box.h"
#include "qz_about_dlg.h"
#include "qzcommdl_ctrl.h"

namespace qz {
namespace {

constexpr wchar_t kRuntimeLibrary[] = L"QZRUN32.DLL";

// Raised while an about box is being prepared, so that the control asked to show it does so itself.
std::atomic<int> g_about_depth{0};

// The about box shown through a control object made for it alone.
void ShowThroughTemporaryControl() {
  ++g_about_depth;
  auto* temporary = new CQzcommdlCtrl();
  try {
    temporary->AboutBox();
  } catch (...) {
    temporary->Release();
    --g_about_depth;
    throw;
  }
  temporary->Release();
  --g_about_depth;
}

}  // namespace

void CQzcommdlCtrl::AboutBox() {
  if (g_about_depth == 0) {
    ShowThroughTemporaryControl();
    return;
  }
  HMODULE runtime = GetModuleHandleW(kRuntimeLibrary);
  bool loaded_here = false;
  if (!runtime) {
    runtime = LoadLibraryW(kRuntimeLibrary);
    loaded_here = runtime != nullptr;
  }
  {
    CWnd parent(EnsureWindow());
    CQzAboutDlg dialog(&parent);
    dialog.DoModal();
  }
  if (loaded_here) FreeLibrary(runtime);
}

void ShowAboutBoxFromPage() { ShowThroughTemporaryControl(); }

}  // namespace qz
