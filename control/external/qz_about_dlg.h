// The runtime library's about dialog class, as modules built on that library see it.
#pragma once
#include <windows.h>

#ifdef QZRUN32_BUILD
#define QZRUN32_API __declspec(dllexport)
#else
#define QZRUN32_API __declspec(dllimport)
#endif

// A window as the runtime library's classes take it.
class CWnd {
public:
  explicit CWnd(HWND window = nullptr) : m_hWnd(window) {}
  HWND m_hWnd;
};

class CQzAboutDlg {
public:
  // Without a parent; defined by the modules that offer it, on top of the constructor below.
  CQzAboutDlg();
  QZRUN32_API explicit CQzAboutDlg(CWnd* parent);
  QZRUN32_API ~CQzAboutDlg();
  CQzAboutDlg(const CQzAboutDlg&) = delete;
  CQzAboutDlg& operator=(const CQzAboutDlg&) = delete;

  // Shows the dialog modally; IDOK or IDCANCEL, or -1 when it could not be shown.
  QZRUN32_API INT_PTR DoModal();
  HWND Parent() const { return parent_; }

private:
  HWND parent_ = nullptr;
};

// The dialog's template and the ids of its controls.
#define IDD_QZ_ABOUT 100
#define IDC_QZ_ABOUT_TEXT 1001
