// The system calls behind the dialog routines, gathered in one replaceable table so that tests
// can stand in for the system dialogs and produce the errors a test machine cannot.
#pragma once
#include <windows.h>
#include <commdlg.h>

namespace qz {

struct SystemCalls {
  BOOL(WINAPI* get_open_file_name)(LPOPENFILENAMEA) = GetOpenFileNameA;
  BOOL(WINAPI* get_save_file_name)(LPOPENFILENAMEA) = GetSaveFileNameA;
  BOOL(WINAPI* choose_color)(LPCHOOSECOLORA) = ChooseColorA;
  BOOL(WINAPI* choose_font)(LPCHOOSEFONTA) = ChooseFontA;
  BOOL(WINAPI* print_dlg)(LPPRINTDLGA) = PrintDlgA;
  DWORD(WINAPI* extended_error)() = CommDlgExtendedError;
  BOOL(WINAPI* win_help)(HWND, LPCSTR, UINT, ULONG_PTR) = WinHelpA;
};

// The table every dialog routine calls through; tests assign to it and restore the defaults
// with `= SystemCalls{}`.
SystemCalls& TheSystemCalls();

}  // namespace qz
