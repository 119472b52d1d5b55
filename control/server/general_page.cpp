#include "general_page.h"

#include "about_box.h"
#include "property_page_ids.h"
#include "resource.h"

namespace qz {

using namespace qzf;

CQzcommdlPropPage::CQzcommdlPropPage() : PropertyPage(IDD_GENERAL_PAGE, IDS_GENERAL_PAGE_CAPTION) {}

void CQzcommdlPropPage::DoDataExchange(DataExchange& dx) {
  DDP_Check(dx, IDC_CANCEL_ERROR, cancel_error_, L"CancelError");
  DDX_Check(dx, IDC_CANCEL_ERROR, cancel_error_);
  DDP_Text(dx, IDC_DIALOG_HEIGHT, dialog_height_, L"DialogHeight");
  DDX_Text(dx, IDC_DIALOG_HEIGHT, dialog_height_);
  DDV_MinMaxInt(dx, dialog_height_, 0, 32767);
  DDP_Text(dx, IDC_DIALOG_LEFT, dialog_left_, L"DialogLeft");
  DDX_Text(dx, IDC_DIALOG_LEFT, dialog_left_);
  DDV_MinMaxInt(dx, dialog_left_, 0, 32767);
  DDP_Text(dx, IDC_DIALOG_TITLE, dialog_title_, L"DialogTitle");
  DDX_Text(dx, IDC_DIALOG_TITLE, dialog_title_);
  DDV_MaxChars(dx, dialog_title_, 1000);
  DDP_Text(dx, IDC_DIALOG_TOP, dialog_top_, L"DialogTop");
  DDX_Text(dx, IDC_DIALOG_TOP, dialog_top_);
  DDV_MinMaxInt(dx, dialog_top_, 0, 32767);
  DDP_Text(dx, IDC_DIALOG_WIDTH, dialog_width_, L"DialogWidth");
  DDX_Text(dx, IDC_DIALOG_WIDTH, dialog_width_);
  DDV_MinMaxInt(dx, dialog_width_, 0, 32767);
  DDP_Text(dx, IDC_INIT_DIR, init_dir_, L"InitDir");
  DDX_Text(dx, IDC_INIT_DIR, init_dir_);
  DDV_MaxChars(dx, init_dir_, 256);
  DDP_Text(dx, IDC_FILE_TITLE, file_title_, L"FileTitle");
  DDX_Text(dx, IDC_FILE_TITLE, file_title_);
  DDP_PostProcessing(dx);
}

// The About button shows the box without touching any property.
bool CQzcommdlPropPage::OnCommand(int id, int code) {
  if (id != IDC_ABOUT || code != BN_CLICKED) return false;
#ifdef QZ_VERSION5
  ShowAboutBoxFromPage();
#else
  ShowAboutBox(Window());
#endif
  return true;
}

}  // namespace qz
