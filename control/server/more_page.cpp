#include "more_page.h"

#include "property_page_ids.h"
#include "resource.h"

namespace qz {

using namespace qzf;

CMorePropPage::CMorePropPage() : PropertyPage(IDD_MORE_PAGE, IDS_MORE_PAGE_CAPTION) {}

void CMorePropPage::DoDataExchange(DataExchange& dx) {
  DDP_Text(dx, IDC_COPIES, copies_, L"Copies");
  DDX_Text(dx, IDC_COPIES, copies_);
  DDV_MinMaxInt(dx, copies_, 0, 32767);
  DDP_Text(dx, IDC_FILE_NAME, file_name_, L"FileName");
  DDX_Text(dx, IDC_FILE_NAME, file_name_);
  DDV_MaxChars(dx, file_name_, 256);
  DDP_Text(dx, IDC_FILTER, filter_, L"Filter");
  DDX_Text(dx, IDC_FILTER, filter_);
  DDV_MaxChars(dx, filter_, 1000);
  DDP_Text(dx, IDC_FILTER_INDEX, filter_index_, L"FilterIndex");
  DDX_Text(dx, IDC_FILTER_INDEX, filter_index_);
  DDV_MinMaxInt(dx, filter_index_, 0, 32767);
  DDP_Text(dx, IDC_FLAGS, flags_, L"Flags");
  DDX_Text(dx, IDC_FLAGS, flags_);
  DDP_Text(dx, IDC_FROM_PAGE, from_page_, L"FromPage");
  DDX_Text(dx, IDC_FROM_PAGE, from_page_);
  DDV_MinMaxInt(dx, from_page_, 0, 32767);
  DDP_Text(dx, IDC_HELP_COMMAND, help_command_, L"HelpCommand");
  DDX_Text(dx, IDC_HELP_COMMAND, help_command_);
  DDP_Text(dx, IDC_HELP_CONTEXT, help_context_, L"HelpContext");
  DDX_Text(dx, IDC_HELP_CONTEXT, help_context_);
  DDP_Text(dx, IDC_HELP_FILE, help_file_, L"HelpFile");
  DDX_Text(dx, IDC_HELP_FILE, help_file_);
  DDV_MaxChars(dx, help_file_, 256);
  DDP_Text(dx, IDC_HELP_KEY, help_key_, L"HelpKey");
  DDX_Text(dx, IDC_HELP_KEY, help_key_);
  DDV_MaxChars(dx, help_key_, 1000);
  DDP_Text(dx, IDC_MAX, max_, L"Max");
  DDX_Text(dx, IDC_MAX, max_);
  DDV_MinMaxInt(dx, max_, 0, 32767);
  DDP_Text(dx, IDC_MIN, min_, L"Min");
  DDX_Text(dx, IDC_MIN, min_);
  DDV_MinMaxInt(dx, min_, 0, 32767);
  DDP_Check(dx, IDC_PRINTER_DEFAULT, printer_default_, L"PrinterDefault");
  DDX_Check(dx, IDC_PRINTER_DEFAULT, printer_default_);
  DDP_Text(dx, IDC_TO_PAGE, to_page_, L"ToPage");
  DDX_Text(dx, IDC_TO_PAGE, to_page_);
  DDV_MinMaxInt(dx, to_page_, 0, 32767);
  DDP_Text(dx, IDC_MAX_FILE_SIZE, max_file_size_, L"MaxFileSize");
  DDX_Text(dx, IDC_MAX_FILE_SIZE, max_file_size_);
  DDV_MinMaxInt(dx, max_file_size_, 1, 32767);
  DDP_Text(dx, IDC_DEFAULT_EXT, default_ext_, L"DefaultExt");
  DDX_Text(dx, IDC_DEFAULT_EXT, default_ext_);
  DDV_MaxChars(dx, default_ext_, 3);
  DDP_PostProcessing(dx);
}

}  // namespace qz
