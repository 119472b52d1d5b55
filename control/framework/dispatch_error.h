// An automation error raised by a property or method handler. The dispatch layer turns it
// into EXCEPINFO (and error info) at the interface; it never crosses an interface itself.
#pragma once
#include <windows.h>
#include <string>

namespace qzf {

// Standard control errors of the automation runtime.
inline constexpr HRESULT kCtlSetNotSupported = static_cast<HRESULT>(0x800A017F);  // 383
inline constexpr HRESULT kCtlGetNotSupported = static_cast<HRESULT>(0x800A018A);  // 394

constexpr HRESULT ControlErrorScode(unsigned number) {
  return static_cast<HRESULT>(0x800A0000u | (number & 0xFFFFu));
}

struct DispatchError {
  HRESULT scode;
  std::wstring description;
  DWORD help_context = 0;
  std::wstring help_file;
};

[[noreturn]] void ThrowDispatchError(HRESULT scode, std::wstring description, DWORD help_context = 0,
                                     std::wstring help_file = {});
[[noreturn]] void ThrowGetNotSupported();
[[noreturn]] void ThrowSetNotSupported();

}  // namespace qzf
