// Table-driven self-registration: a class is a list of {key, value name, value} rows under
// HKEY_CLASSES_ROOT, and unregistration removes exactly the keys registration created.
#pragma once
#include <windows.h>
#include <span>
#include <string>
#include <vector>

namespace qzf {

struct RegistryRow {
  std::wstring key;          // below HKEY_CLASSES_ROOT
  const wchar_t* value_name; // nullptr for the key's default value
  std::wstring value;
};

HRESULT WriteRegistryRows(std::span<const RegistryRow> rows);
// Removes each key tree; a key that is already absent is not an error.
HRESULT DeleteRegistryKeys(std::span<const std::wstring> keys);

struct ControlClassInfo {
  CLSID clsid;
  const wchar_t* prog_id;
  std::wstring type_name;
  int toolbox_bitmap_id;
  const wchar_t* threading_model;  // nullptr registers none
  DWORD misc_status;
  GUID libid;
  WORD version_major;
  WORD version_minor;
};

std::vector<RegistryRow> ControlClassRows(const ControlClassInfo& info, const std::wstring& server_path);
HRESULT RegisterControlClass(const ControlClassInfo& info);
// Removes the class key; the ProgID key is shared by the 32- and 64-bit registry views, so it
// is kept while the other view still registers the class.
HRESULT UnregisterClass(const CLSID& clsid, const wchar_t* prog_id);
HRESULT RegisterPropertyPageClass(const CLSID& clsid, const std::wstring& type_name);

// Registers the TYPELIB resource 1 of this module with the given help directory.
HRESULT RegisterModuleTypeLib(const std::wstring& help_dir);
// Unregisters the type library `libid` of this module's bitness; fails when it is not registered.
HRESULT UnregisterTypeLibrary(const GUID& libid, WORD major, WORD minor);

bool OtherRegistryViewHasClass(const CLSID& clsid);

}  // namespace qzf
