// CommdlgHook: the file dialogs' hook, with the selection tracking of both dialog styles.
#include <windows.h>
#include <commdlg.h>
#include <cstring>

#include "bounded_copy.h"
#include "dialog_hooks.h"
#include "hook_registry.h"
#include "module_state.h"
#include "qzcommdl_ctrl.h"

namespace qz {
namespace {

constexpr int kFileList = 1120;      // lst1 of the old-style dialog
constexpr int kDirectoryLabel = 1088;  // stc1
constexpr size_t kPathBufferSize = 512;
constexpr size_t kItemBufferSize = 516;

// The explorer-style dialog puts the hook's dialog inside the visible one; the old-style dialog
// is the hook's window itself.
HWND FrameOf(HWND hook) {
  return (GetWindowLongPtrW(hook, GWL_STYLE) & WS_CHILD) ? GetParent(hook) : hook;
}

void ReportFileName(HWND hook, const char* path) {
  HookPathBuffer() = path;
  if (const HWND control = TheHookRegistry().Lookup(hook)) SendMessageW(control, UM_FILENAME_CHANGED, 0, 0);
}

void ExplorerNotify(HWND hook, const NMHDR* header) {
  if (header->code == CDN_HELP) {
#ifndef QZ_VERSION5  // the older build has no help-click event to raise
    if (const HWND control = TheHookRegistry().Lookup(hook)) SendMessageW(control, UM_HELP_CLICKED, 0, 0);
#endif
  } else if (header->code == CDN_SELCHANGE) {
    char path[kPathBufferSize] = {};
    SendMessageA(header->hwndFrom, CDM_GETFILEPATH, 255, reinterpret_cast<LPARAM>(path));
    path[255] = '\0';
    ReportFileName(hook, path);
  }
}

// The old-style dialog: the directory label plus the selected list item.
void OldStyleSelection(HWND hook, WPARAM wparam) {
  if (LOWORD(wparam) != kFileList || HIWORD(wparam) != LBN_SELCHANGE) return;
  const LRESULT index = SendDlgItemMessageA(hook, kFileList, LB_GETCURSEL, 0, 0);
  if (index == LB_ERR) return;
  char path[kPathBufferSize] = {};
  SendDlgItemMessageA(hook, kDirectoryLabel, WM_GETTEXT, kPathBufferSize - 1, reinterpret_cast<LPARAM>(path));
  size_t length = std::strlen(path);
  if (length > 0 && path[length - 1] != '\\' && length + 1 < kPathBufferSize) {
    path[length++] = '\\';
    path[length] = '\0';
  }
  // LB_GETTEXT has no size argument: an item that would not fit is not read at all.
  const LRESULT item_length = SendDlgItemMessageA(hook, kFileList, LB_GETTEXTLEN, index, 0);
  if (item_length == LB_ERR || item_length >= static_cast<LRESULT>(kItemBufferSize)) return;
  char item[kItemBufferSize] = {};
  SendDlgItemMessageA(hook, kFileList, LB_GETTEXT, index, reinterpret_cast<LPARAM>(item));
  CopyCut(path + length, kPathBufferSize - length, item);
  ReportFileName(hook, path);
}

}  // namespace
}  // namespace qz

extern "C" UINT_PTR CALLBACK CommdlgHook(HWND hook, UINT message, WPARAM wparam, LPARAM lparam) {
  using namespace qz;
  switch (message) {
    case WM_INITDIALOG: {
      const auto* request = reinterpret_cast<const OPENFILENAMEA*>(lparam);
      const auto* pair = reinterpret_cast<const FileDialogRequest*>(request->lCustData);
      HookDialogOpened(hook, FrameOf(hook), pair->control, static_cast<short>(pair->kind));
      return TRUE;
    }
    case WM_SHOWWINDOW:
      HookApplyPlacement(hook, FrameOf(hook));
      return 0;
    case WM_DESTROY:
      HookDialogClosed(hook, kOpen);  // a save dialog closes as kind 1 too
      return 0;
    case WM_NOTIFY:
      ExplorerNotify(hook, reinterpret_cast<const NMHDR*>(lparam));
      return 0;
    case WM_COMMAND:
      OldStyleSelection(hook, wparam);
      HookCommand(hook, wparam, lparam);
      return 0;
    default:
      return 0;
  }
}
