#include "type_library_help.h"

#include <windows.h>

namespace qz {

// The folder that WINHELP.INI names for the reference help file, or empty.
std::wstring TypeLibraryHelpDirectory() {
  wchar_t directory[260] = L"";
  GetPrivateProfileStringW(L"Files", L"QZVBREF.HLP", L"", directory, 260, L"WINHELP.INI");
  return directory;
}

}  // namespace qz
