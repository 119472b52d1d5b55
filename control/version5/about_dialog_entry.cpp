// The about dialog's constructor without a parent, exported for modules that show it themselves.
#include "qz_about_dlg.h"

CQzAboutDlg::CQzAboutDlg() : CQzAboutDlg(static_cast<CWnd*>(nullptr)) {}
