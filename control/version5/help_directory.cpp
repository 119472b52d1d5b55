#include "help_directory.h"

#include <windows.h>

namespace qz {
namespace {

constexpr size_t kPathLimit = 260;

bool FolderExists(const std::wstring& path) {
  const DWORD attributes = GetFileAttributesW(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

std::wstring HelpDirectoryFor(const std::wstring& module_path, const std::wstring& windows_dir) {
  const size_t cut = module_path.find_last_of(L'\\');
  if (cut != std::wstring::npos && cut > 0) {
    const std::wstring folder = module_path.substr(0, cut);
    if (folder.size() < kPathLimit && FolderExists(folder)) return folder;
  }
  if (windows_dir.empty()) return {};
  std::wstring help = windows_dir;
  if (help.back() != L'\\') help += L'\\';
  help += L"HELP";
  return help.size() < kPathLimit && FolderExists(help) ? help : std::wstring();
}

}  // namespace qz
