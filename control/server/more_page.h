// The More property page: file, filter, help and print settings.
#pragma once
#include <string>

#include "property_page.h"

namespace qz {

class CMorePropPage : public qzf::PropertyPage {
public:
  CMorePropPage();

protected:
  void DoDataExchange(qzf::DataExchange& dx) override;

private:
  long copies_ = 0;
  std::wstring file_name_;
  std::wstring filter_;
  long filter_index_ = 0;
  long flags_ = 0;
  long from_page_ = 0;
  long help_command_ = 0;
  long help_context_ = 0;
  std::wstring help_file_;
  std::wstring help_key_;
  long max_ = 0;
  long min_ = 0;
  int printer_default_ = 0;
  long to_page_ = 0;
  long max_file_size_ = 0;
  std::wstring default_ext_;
};

}  // namespace qz
