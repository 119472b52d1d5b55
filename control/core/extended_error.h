// Turns a common-dialog extended error into the control error number raised for it.
#pragma once
#include <windows.h>

namespace qz {

// 0 for a plain cancel and for every code that has no control error.
long MapExtendedError(DWORD extended_error);

}  // namespace qz
