#include "page_classes.h"

#include "general_page.h"
#include "more_page.h"
#include "qzcommdl_ids.h"
#include "registration.h"
#include "resource.h"

namespace qz {
namespace {

// Pages register without a ProgID key and without a threading model.
HRESULT UpdatePageRegistry(const CLSID& clsid, UINT type_name_id, bool register_class) {
  if (!register_class) return qzf::UnregisterClass(clsid, nullptr);
  return qzf::RegisterPropertyPageClass(clsid, qzf::LoadModuleString(type_name_id));
}

}  // namespace

HRESULT CreateGeneralPage(REFIID iid, void** out) {
  return qzf::PropertyPage::CreateInstance<CQzcommdlPropPage>(iid, out);
}

HRESULT UpdateGeneralPageRegistry(bool register_class) {
  return UpdatePageRegistry(kClsidGeneralPage, IDS_GENERAL_PAGE_TYPE_NAME, register_class);
}

HRESULT CreateMorePage(REFIID iid, void** out) { return qzf::PropertyPage::CreateInstance<CMorePropPage>(iid, out); }

HRESULT UpdateMorePageRegistry(bool register_class) {
  return UpdatePageRegistry(kClsidMorePage, IDS_MORE_PAGE_TYPE_NAME, register_class);
}

}  // namespace qz
