// The control's stored properties. The order is that of the binary property stream.
#include "qzcommdl_ctrl.h"

namespace qz {

void CQzcommdlCtrl::DoPropExchange(qzf::PropExchange& px) {
  ExchangeVersion(px, kPersistVersion, true);
  CQzControlBase::DoPropExchange(px);
  // Data of version 1.0 carries one more value here, whichever build wrote it: a build that stamps
  // its data 1.0 writes it too, so that every reader of 1.0 data finds it.
  if ((px.IsLoading() ? LoadedVersion() : kPersistVersion) == kPersistVersion1) {
    long dropped = 0;
    px.Long(L"_Version1Value", dropped);
  }
  px.String(L"Filename", file_name_);
  px.Short(L"DialogTop", dialog_top_);
  px.Short(L"DialogLeft", dialog_left_);
  px.Short(L"DialogWidth", dialog_width_);
  px.Short(L"DialogHeight", dialog_height_);
  px.String(L"InitDir", init_dir_);
  px.String(L"Filter", filter_);
  px.String(L"DefaultExt", default_ext_);
  px.String(L"DialogTitle", dialog_title_);
  px.Short(L"FilterIndex", filter_index_);
  px.Long(L"Flags", flags_);
  px.Bool(L"CancelError", cancel_error_);
  short max_file_size = max_file_size_;
  px.Short(L"MaxFileSize", max_file_size);
  if (max_file_size < 0) throw qzf::PersistError{STG_E_DOCFILECORRUPT, L"Stored MaxFileSize is negative"};
  max_file_size_ = max_file_size;
  px.Color(L"Color", color_);
  px.Short(L"Max", max_);
  px.Short(L"Min", min_);
  px.Short(L"Copies", copies_);
  px.Short(L"FromPage", from_page_);
  px.Bool(L"PrinterDefault", printer_default_);
  px.Short(L"ToPage", to_page_);
  px.Short(L"HelpCommand", help_command_);
  px.Long(L"HelpContext", help_context_);
  px.String(L"HelpFile", help_file_);
  px.String(L"HelpKey", help_key_);
  if (px.IsLoading() && AmbientUserMode()) HideAtRunTime();
}

}  // namespace qz
