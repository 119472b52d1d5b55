// Conversions at the automation boundary: the control keeps single-byte (ANSI) strings,
// automation carries BSTRs.
#pragma once
#include <windows.h>
#include <oleauto.h>
#include <string>
#include <string_view>

namespace qzf {

std::wstring Widen(std::string_view ansi);
std::string Narrow(std::wstring_view wide);

// Returns a new BSTR or throws std::bad_alloc.
BSTR AllocBstr(std::wstring_view wide);
inline BSTR AllocBstrFromAnsi(std::string_view ansi) { return AllocBstr(Widen(ansi)); }

std::wstring GuidToString(const GUID& guid);

}  // namespace qzf
