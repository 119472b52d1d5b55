// Raising control errors through the error-detail library, which supplies the descriptions.
#pragma once

namespace qz {

#ifdef QZ_VERSION5
// The older build takes its error texts from a string table library: entry n describes error n.
inline constexpr wchar_t kErrorDetailLibrary[] = L"QZLOCALE.DLL";

// Loads the library while a control holds it; errors are raised through the loaded library only.
class ErrorTextLibrary {
public:
  ErrorTextLibrary();
  ~ErrorTextLibrary();
  ErrorTextLibrary(const ErrorTextLibrary&) = delete;
  ErrorTextLibrary& operator=(const ErrorTextLibrary&) = delete;
};
#else
// The library's file name; tried next to this module first, then by the normal search order.
inline constexpr wchar_t kErrorDetailLibrary[] = L"VELDRAN.DLL";
#endif

// Always throws a qzf::DispatchError: the library's error for `number`, or, when the library or
// its entry point is missing, 0x800A0035 with the fallback description.
[[noreturn]] void RaiseControlError(long number);

}  // namespace qz
