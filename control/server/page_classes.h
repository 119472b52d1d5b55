// Class-table entries of the two property pages: creation and (un)registration.
#pragma once
#include <windows.h>

namespace qz {

HRESULT CreateGeneralPage(REFIID iid, void** out);
HRESULT UpdateGeneralPageRegistry(bool register_class);
HRESULT CreateMorePage(REFIID iid, void** out);
HRESULT UpdateMorePageRegistry(bool register_class);

}  // namespace qz
