#include "error_detail.h"

#include <windows.h>
#include <oleauto.h>

#include <string>

#include "dispatch_error.h"
#include "module.h"
#include "trace.h"

namespace qz {
namespace {

using KtThrowErrorFn = HRESULT(WINAPI*)(long number, long help_context, long reserved);

constexpr HRESULT kLibraryMissing = static_cast<HRESULT>(0x800A0035);
constexpr wchar_t kLibraryMissingText[] = L"'VELDRAN.DLL' Not Available.\nUnable to provide error detail.";

HMODULE LoadErrorDetailLibrary() {
  const std::wstring beside = qzf::Module::Directory() + kErrorDetailLibrary;
  HMODULE library = LoadLibraryExW(beside.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
  if (!library) library = LoadLibraryW(kErrorDetailLibrary);
  return library;
}

// The description the library left in the thread's error info, if any.
std::wstring TakeDescription(DWORD& help_context) {
  IErrorInfo* info = nullptr;
  std::wstring text;
  if (GetErrorInfo(0, &info) == S_OK && info) {
    BSTR description = nullptr;
    if (SUCCEEDED(info->GetDescription(&description)) && description) {
      text.assign(description, SysStringLen(description));
      SysFreeString(description);
    }
    info->GetHelpContext(&help_context);
    info->Release();
  }
  return text;
}

}  // namespace

void RaiseControlError(long number) {
  QZ_TRACE("number %ld", number);
  HMODULE library = LoadErrorDetailLibrary();
  auto raise = library ? reinterpret_cast<KtThrowErrorFn>(
                             reinterpret_cast<void*>(GetProcAddress(library, "KtThrowError")))
                       : nullptr;
  if (!raise) {
    if (library) FreeLibrary(library);
    qzf::ThrowDispatchError(kLibraryMissing, kLibraryMissingText);
  }
  SetErrorInfo(0, nullptr);
  HRESULT scode = raise(number, 0, 0);
  DWORD help_context = 0;
  std::wstring description = TakeDescription(help_context);
  FreeLibrary(library);
  // The library must raise an error; a success code from it still ends the call with the number.
  if (SUCCEEDED(scode)) scode = qzf::ControlErrorScode(static_cast<unsigned>(number));
  qzf::ThrowDispatchError(scode, std::move(description), help_context);
}

}  // namespace qz
