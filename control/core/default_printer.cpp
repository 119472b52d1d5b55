#include "default_printer.h"

#include <cstring>

namespace qz {
namespace {

constexpr size_t kProfileEntrySize = 80;
constexpr UINT kBroadcastTimeout = 5000;  // milliseconds per window

// One strtok step: skips leading delimiters, then takes up to the next delimiter.
std::string_view NextToken(std::string_view& rest, std::string_view delimiters) {
  const size_t start = rest.find_first_not_of(delimiters);
  if (start == std::string_view::npos) {
    rest = {};
    return {};
  }
  rest.remove_prefix(start);
  const size_t end = rest.find_first_of(delimiters);
  const std::string_view token = rest.substr(0, end);
  rest = end == std::string_view::npos ? std::string_view{} : rest.substr(end + 1);
  return token;
}

// The NUL-terminated string at `offset` inside the block, or nothing.
std::optional<std::string_view> StringAt(const DEVNAMES* names, size_t block_size, WORD offset) {
  if (offset < sizeof(DEVNAMES) || offset >= block_size) return std::nullopt;
  const char* text = reinterpret_cast<const char*>(names) + offset;
  const size_t length = strnlen(text, block_size - offset);
  if (length == block_size - offset) return std::nullopt;
  return std::string_view(text, length);
}

}  // namespace

std::optional<DeviceEntry> ParseDeviceEntry(std::string_view entry) {
  DeviceEntry parts;
  std::string_view rest = entry;
  parts.device = NextToken(rest, ",");
  parts.driver = NextToken(rest, ", ");
  parts.port = NextToken(rest, ", ");
  if (parts.device.empty() || parts.driver.empty() || parts.port.empty()) return std::nullopt;
  return parts;
}

HDC DefaultPrinterDC() {
  char entry[kProfileEntrySize] = {};
  GetProfileStringA("windows", "device", ",,,", entry, sizeof entry);
  const std::optional<DeviceEntry> parts = ParseDeviceEntry(entry);
  if (!parts) return nullptr;
  return CreateDCA(parts->driver.c_str(), parts->device.c_str(), parts->port.c_str(), nullptr);
}

std::optional<std::string> DeviceEntryFromDevNames(const DEVNAMES* names, size_t block_size) {
  if (!names || block_size < sizeof(DEVNAMES)) return std::nullopt;
  const auto device = StringAt(names, block_size, names->wDeviceOffset);
  const auto driver = StringAt(names, block_size, names->wDriverOffset);
  const auto port = StringAt(names, block_size, names->wOutputOffset);
  if (!device || !driver || !port) return std::nullopt;
  std::string text;
  text.append(*device).append(",").append(*driver).append(",").append(*port);
  if (text.size() >= kDeviceEntrySize) return std::nullopt;
  return text;
}

bool WriteDefaultPrinter(HGLOBAL dev_names) {
  if (!dev_names) return false;
  const auto* names = static_cast<const DEVNAMES*>(GlobalLock(dev_names));
  if (!names) return false;
  const std::optional<std::string> text = DeviceEntryFromDevNames(names, GlobalSize(dev_names));
  if (text) {
    WriteProfileStringA("windows", "device", text->c_str());
    WriteProfileStringA(nullptr, nullptr, nullptr);  // flush the profile cache
  }
  GlobalUnlock(dev_names);
  if (!text) return false;
  // A hung top-level window of another program must not freeze the host. Sent as wide text,
  // which the system converts for ANSI windows; the ANSI broadcast reaches some windows
  // unconverted.
  static const wchar_t kSection[] = L"DEVICE";
  SendMessageTimeoutW(HWND_BROADCAST, WM_WININICHANGE, 0, reinterpret_cast<LPARAM>(kSection),
                      SMTO_NORMAL | SMTO_ABORTIFHUNG, kBroadcastTimeout, nullptr);
  return true;
}

}  // namespace qz
