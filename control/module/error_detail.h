// Raising control errors through the error-detail library, which supplies the descriptions.
#pragma once

namespace qz {

// The library's file name; tried next to this module first, then by the normal search order.
inline constexpr wchar_t kErrorDetailLibrary[] = L"VELDRAN.DLL";

// Always throws a qzf::DispatchError: the library's error for `number`, or, when the library or
// its entry point is missing, 0x800A0035 with the fallback description.
[[noreturn]] void RaiseControlError(long number);

}  // namespace qz
