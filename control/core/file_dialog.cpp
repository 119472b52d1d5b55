// The file open and save dialogs: the request built from the properties, the result copied back.
#include <windows.h>
#include <commdlg.h>

#include <algorithm>

#include "bounded_copy.h"
#include "dialog_hooks.h"
#include "extended_error.h"
#include "global_buffer.h"
#include "qzcommdl_ctrl.h"
#include "system_calls.h"

namespace qz {
namespace {

constexpr size_t kTextBufferSize = 256;
constexpr size_t kFileTitleBufferSize = 264;
constexpr DWORD kFileTitleOffered = 254;

// Module-wide, as the dialogs of every control share it.
char g_file_title[kFileTitleBufferSize];

bool ExplorerStyleAvailable() {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  if (!GetVersionExA(&version)) return false;
  return version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS ||
         (version.dwPlatformId == VER_PLATFORM_WIN32_NT && version.dwMajorVersion >= 4);
}

}  // namespace

long CQzcommdlCtrl::RunFileDialog(short kind) {
  const HWND focus = GetFocus();
  if (multi_select_) GlobalFree(multi_select_);
  multi_select_ = nullptr;

  // The dialog is never told of less than one byte, so it always finds a terminating NUL; and it
  // gets two at least, since a dialog that finds the buffer too small writes the size it needs as a
  // 16-bit word at its start.
  const DWORD stated = std::max<DWORD>(static_cast<DWORD>(max_file_size_), 1);
  GlobalBuffer file(std::max<size_t>(stated, 2));
  if (!file) return kErrAlloc;
  CopyCut(file.data(), stated, file_name_);
  char init_dir[kTextBufferSize], default_ext[kTextBufferSize], title[kTextBufferSize];
  CopyCut(init_dir, sizeof init_dir, init_dir_);
  GlobalBuffer filter(filter_.size() + 3);
  if (!filter) return kErrAlloc;
  CopyCut(filter.data(), filter_.size() + 3, filter_);
  std::replace(filter.data(), filter.data() + filter_.size(), '|', '\0');
  CopyCut(default_ext, sizeof default_ext, default_ext_);
  CopyCut(title, sizeof title, dialog_title_);
  g_file_title[0] = '\0';

  FileDialogRequest pair{EnsureWindow(), kind};
  OPENFILENAMEA request{};
  request.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
  request.hwndOwner = GetParent(pair.control);
  request.lpstrFilter = filter_.empty() ? nullptr : filter.data();
  request.nFilterIndex = static_cast<DWORD>(filter_index_);
  request.lpstrFile = file.data();
  request.nMaxFile = stated;
  request.lpstrFileTitle = g_file_title;
  request.nMaxFileTitle = kFileTitleOffered;
  request.lpstrInitialDir = init_dir;
  request.lpstrTitle = title;
  request.lpstrDefExt = default_ext;
  request.Flags = static_cast<DWORD>(flags_) | OFN_ENABLEHOOK;
  if (ExplorerStyleAvailable()) request.Flags |= OFN_EXPLORER;
  request.lCustData = reinterpret_cast<LPARAM>(&pair);
  request.lpfnHook = reinterpret_cast<LPOFNHOOKPROC>(reinterpret_cast<void*>(ExportedHook("CommdlgHook")));

  const SystemCalls& calls = TheSystemCalls();
  const BOOL chosen = kind == kOpen ? calls.get_open_file_name(&request) : calls.get_save_file_name(&request);
  const DWORD error = chosen ? 0 : calls.extended_error();
  if (focus && IsWindow(focus)) SetFocus(focus);

  if (!chosen) {
    if (error == 0) file_title_.clear();
    return FailedDialogResult(error);
  }
  // The dialog writes only within nMaxFile; the buffer may still lack a NUL when it is full.
  file_name_.assign(file.data(), std::find(file.data(), file.data() + stated, '\0'));
  g_file_title[kFileTitleBufferSize - 1] = '\0';
  file_title_ = g_file_title;
  flags_ = static_cast<long>(request.Flags);
  filter_index_ = static_cast<short>(request.nFilterIndex);
  if (request.Flags & OFN_ALLOWMULTISELECT) multi_select_ = file.Release();
  return 0;
}

long CQzcommdlCtrl::FailedDialogResult(DWORD extended_error) const {
  if (cancel_error_ && extended_error == 0) return kErrCancel;
  return MapExtendedError(extended_error);
}

}  // namespace qz
