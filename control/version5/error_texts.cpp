// Raising control errors with descriptions from a string table library that the controls keep
// loaded: the first control loads it, the last one frees it.
#include <windows.h>

#include <mutex>
#include <string>

#include "dispatch_error.h"
#include "error_detail.h"
#include "module.h"
#include "trace.h"

namespace qz {
namespace {

constexpr HRESULT kLibraryMissing = static_cast<HRESULT>(0x800A0035);
constexpr wchar_t kLibraryMissingText[] = L"QZLOCALE.DLL Not Found";

std::mutex g_lock;
HMODULE g_library = nullptr;
long g_holders = 0;

HMODULE LoadTextLibrary() {
  const std::wstring beside = qzf::Module::Directory() + kErrorDetailLibrary;
  HMODULE library = LoadLibraryExW(beside.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (!library) library = LoadLibraryW(kErrorDetailLibrary);
  return library;
}

}  // namespace

ErrorTextLibrary::ErrorTextLibrary() {
  std::lock_guard<std::mutex> hold(g_lock);
  if (g_holders++ == 0) g_library = LoadTextLibrary();
}

ErrorTextLibrary::~ErrorTextLibrary() {
  std::lock_guard<std::mutex> hold(g_lock);
  if (--g_holders == 0 && g_library) {
    FreeLibrary(g_library);
    g_library = nullptr;
  }
}

void RaiseControlError(long number) {
  QZ_TRACE("number %ld", number);
  std::wstring description;
  {
    std::lock_guard<std::mutex> hold(g_lock);
    if (!g_library) qzf::ThrowDispatchError(kLibraryMissing, kLibraryMissingText);
    // The table is keyed by the error's low word, as the error code carries it.
    const UINT id = static_cast<UINT>(number) & 0xFFFF;
    const wchar_t* text = nullptr;
    const int length = LoadStringW(g_library, id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length > 0) description.assign(text, static_cast<size_t>(length));
  }
  qzf::ThrowDispatchError(qzf::ControlErrorScode(static_cast<unsigned>(number)), std::move(description));
}

}  // namespace qz
