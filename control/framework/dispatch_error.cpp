#include "dispatch_error.h"

namespace qzf {

void ThrowDispatchError(HRESULT scode, std::wstring description, DWORD help_context, std::wstring help_file) {
  throw DispatchError{scode, std::move(description), help_context, std::move(help_file)};
}

void ThrowGetNotSupported() {
  ThrowDispatchError(kCtlGetNotSupported, L"Property cannot be read here (write-only, or design time)");
}

void ThrowSetNotSupported() {
  ThrowDispatchError(kCtlSetNotSupported, L"Property cannot be set here (read-only, or design time)");
}

}  // namespace qzf
