// Stand-in for the maker's runtime library: its about dialog class with its own template.
#define QZRUN32_BUILD
#include "qz_about_dlg.h"

namespace {

HINSTANCE g_instance = nullptr;

INT_PTR CALLBACK AboutProc(HWND dialog, UINT message, WPARAM wparam, LPARAM) {
  switch (message) {
    case WM_INITDIALOG:
      return TRUE;
    case WM_COMMAND:
      if (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL) {
        EndDialog(dialog, LOWORD(wparam));
        return TRUE;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace

CQzAboutDlg::CQzAboutDlg(CWnd* parent) : parent_(parent ? parent->m_hWnd : nullptr) {}

CQzAboutDlg::~CQzAboutDlg() = default;

INT_PTR CQzAboutDlg::DoModal() {
  return DialogBoxParamW(g_instance, MAKEINTRESOURCEW(IDD_QZ_ABOUT), parent_, &AboutProc, 0);
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) g_instance = instance;
  return TRUE;
}
