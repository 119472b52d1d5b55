// The General property page: dialog title, placement, initial folder, file title, CancelError,
// and the About button.
#pragma once
#include <string>

#include "property_page.h"

namespace qz {

class CQzcommdlPropPage : public qzf::PropertyPage {
public:
  CQzcommdlPropPage();

protected:
  void DoDataExchange(qzf::DataExchange& dx) override;
  bool OnCommand(int id, int code) override;

private:
  int cancel_error_ = 0;
  long dialog_height_ = 0;
  long dialog_left_ = 0;
  std::wstring dialog_title_;
  long dialog_top_ = 0;
  long dialog_width_ = 0;
  std::wstring init_dir_;
  std::wstring file_title_;
};

}  // namespace qz
