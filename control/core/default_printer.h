// The system default printer as the "device" entry of the "windows" profile section names it:
// reading it into a device context, and making a chosen printer the default.
#pragma once
#include <windows.h>
#include <commdlg.h>

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace qz {

struct DeviceEntry {
  std::string device, driver, port;
};

// Splits "device,driver,port" the way strtok does with "," for the device and ", " for the
// driver and the port; nothing when a part is missing.
std::optional<DeviceEntry> ParseDeviceEntry(std::string_view entry);

// A device context for the default printer, or null when the entry is incomplete or the
// printer cannot be opened. The caller deletes it.
HDC DefaultPrinterDC();

// The size of the buffer the default-printer text is built in, terminator included.
inline constexpr size_t kDeviceEntrySize = 256;

// "device,driver,port" from a device-names block of `block_size` bytes; nothing when an offset
// or a string lies outside the block, or when the text would not fit the entry buffer (a cut
// text would name a printer that does not exist).
std::optional<std::string> DeviceEntryFromDevNames(const DEVNAMES* names, size_t block_size);

// Writes the printer of `dev_names` as the default printer and tells every top-level window;
// false when the block cannot be read or its text does not fit.
bool WriteDefaultPrinter(HGLOBAL dev_names);

}  // namespace qz
