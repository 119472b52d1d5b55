#include "about_text.h"

#include <commdlg.h>

#include <cstring>
#include <memory>
#include <new>

namespace qz {
namespace {

constexpr size_t kPathBytes = 600;
constexpr size_t kNameBytes = 600;
constexpr size_t kVersionBytes = 600;
constexpr size_t kVersionBlockSlack = 128;

// Product name with the trademark sign (code page 1252), then the notice line.
constexpr char kBanner[] =
    "QzCommonDialog\x99 ActiveX Control\n"
    "Copyright \xA9 1996-2000 Veldran Software. All rights reserved.\n\n";

// A zero-filled, locked global block, released on every path.
class LockedBlock {
public:
  explicit LockedBlock(size_t bytes) : handle_(GlobalAlloc(GMEM_FIXED | GMEM_ZEROINIT, bytes)), size_(bytes) {
    if (handle_) data_ = static_cast<char*>(GlobalLock(handle_));
  }
  ~LockedBlock() {
    if (!handle_) return;
    GlobalUnlock(handle_);
    GlobalFree(handle_);
  }
  LockedBlock(const LockedBlock&) = delete;
  LockedBlock& operator=(const LockedBlock&) = delete;
  char* data() const { return data_; }
  size_t size() const { return size_; }
  explicit operator bool() const { return data_ != nullptr; }

private:
  HGLOBAL handle_;
  char* data_ = nullptr;
  size_t size_;
};

// Appends `part` to the text at `used`, as far as room is left for the terminator.
void Append(std::span<char> text, size_t& used, const char* part) {
  if (text.empty()) return;
  for (; *part && used + 1 < text.size(); ++part) text[used++] = *part;
  text[used] = '\0';
}

// The FileVersion string of the first translation, or null. Points into `block`.
const char* FileVersion(const char* block, std::span<char> scratch) {
  void* translation = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(block, "\\VarFileInfo\\Translation", &translation, &length) || length < sizeof(DWORD))
    return nullptr;
  DWORD entry = 0;
  std::memcpy(&entry, translation, sizeof entry);
  const DWORD language_first = MAKELONG(HIWORD(entry), LOWORD(entry));
  wsprintfA(scratch.data(), "\\StringFileInfo\\%08lX\\FileVersion", language_first);
  void* version = nullptr;
  UINT version_length = 0;
  const bool found = VerQueryValueA(block, scratch.data(), &version, &version_length) && version;
  std::memset(scratch.data(), 0, scratch.size());
  return found ? static_cast<const char*>(version) : nullptr;
}

}  // namespace

size_t ComposeAboutText(std::span<char> text, const char* control_name, const char* version,
                        const char* module_path) {
  size_t used = 0;
  for (const char* part : {kBanner, "Control: ", control_name, "\nVersion: ", version, "\n\nReg.Location: ", module_path})
    Append(text, used, part);
  return used;
}

AboutMessage BuildAboutMessage(HMODULE module) {
  AboutMessage message;
  LockedBlock text(kAboutTextBytes), path(kPathBytes), name(kNameBytes), version(kVersionBytes);
  if (!text || !path || !name || !version) return message;

  GetModuleFileNameA(module, path.data(), static_cast<DWORD>(path.size() - 1));
  GetFileTitleA(path.data(), name.data(), static_cast<WORD>(name.size() - 1));

  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(path.data(), &ignored);
  if (size == 0) {
    message.text = kNoVersionInfo;
    return message;
  }
  message.has_version_info = true;
  const char* version_text = version.data();  // empty unless the string is found
  std::unique_ptr<char[]> block(new (std::nothrow) char[size + kVersionBlockSlack]());
  if (block && GetFileVersionInfoA(path.data(), 0, size, block.get())) {
    if (const char* found = FileVersion(block.get(), std::span<char>(text.data(), text.size())))
      version_text = found;
  }
  const size_t length =
      ComposeAboutText(std::span<char>(text.data(), text.size()), name.data(), version_text, path.data());
  message.text.assign(text.data(), length);
  return message;
}

}  // namespace qz
