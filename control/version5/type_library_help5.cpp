#include <windows.h>

#include "help_directory.h"
#include "module.h"
#include "type_library_help.h"

namespace qz {

// The module's own folder, else the Windows HELP folder, else empty.
std::wstring TypeLibraryHelpDirectory() {
  wchar_t windows[260] = L"";
  const UINT length = GetWindowsDirectoryW(windows, 260);
  return HelpDirectoryFor(qzf::Module::Path(), length > 0 && length < 260 ? std::wstring(windows, length) : L"");
}

}  // namespace qz
