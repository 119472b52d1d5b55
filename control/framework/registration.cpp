#include "registration.h"

#include <oleauto.h>

#include "com_ptr.h"
#include "module.h"
#include "text_convert.h"
#include "trace.h"

namespace qzf {
namespace {

std::wstring ClsidKey(const CLSID& clsid) { return L"CLSID\\" + GuidToString(clsid); }

}  // namespace

HRESULT WriteRegistryRows(std::span<const RegistryRow> rows) {
  for (const RegistryRow& row : rows) {
    HKEY key = nullptr;
    LONG rc = RegCreateKeyExW(HKEY_CLASSES_ROOT, row.key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr);
    if (rc != ERROR_SUCCESS) return HRESULT_FROM_WIN32(rc);
    rc = RegSetValueExW(key, row.value_name, 0, REG_SZ, reinterpret_cast<const BYTE*>(row.value.c_str()),
                        static_cast<DWORD>((row.value.size() + 1) * sizeof(wchar_t)));
    RegCloseKey(key);
    if (rc != ERROR_SUCCESS) return HRESULT_FROM_WIN32(rc);
  }
  return S_OK;
}

HRESULT DeleteRegistryKeys(std::span<const std::wstring> keys) {
  for (const std::wstring& name : keys) {
    const LONG rc = RegDeleteTreeW(HKEY_CLASSES_ROOT, name.c_str());
    if (rc != ERROR_SUCCESS && rc != ERROR_FILE_NOT_FOUND) return HRESULT_FROM_WIN32(rc);
    RegDeleteKeyW(HKEY_CLASSES_ROOT, name.c_str());
  }
  return S_OK;
}

std::vector<RegistryRow> ControlClassRows(const ControlClassInfo& info, const std::wstring& server_path) {
  const std::wstring clsid_key = ClsidKey(info.clsid);
  const std::wstring clsid_text = GuidToString(info.clsid);
  wchar_t version[16];
  wsprintfW(version, L"%u.%u", info.version_major, info.version_minor);
  wchar_t misc[16];
  wsprintfW(misc, L"%lu", info.misc_status);
  wchar_t bitmap[16];
  wsprintfW(bitmap, L", %d", info.toolbox_bitmap_id);

  std::vector<RegistryRow> rows = {
      {clsid_key, nullptr, info.type_name},
      {clsid_key + L"\\InprocServer32", nullptr, server_path},
      {clsid_key + L"\\ProgID", nullptr, info.prog_id},
      {clsid_key + L"\\Control", nullptr, L""},
      {clsid_key + L"\\ToolboxBitmap32", nullptr, server_path + bitmap},
      {clsid_key + L"\\MiscStatus", nullptr, L"0"},
      {clsid_key + L"\\MiscStatus\\1", nullptr, misc},
      {clsid_key + L"\\TypeLib", nullptr, GuidToString(info.libid)},
      {clsid_key + L"\\Version", nullptr, version},
      {info.prog_id, nullptr, info.type_name},
      {std::wstring(info.prog_id) + L"\\CLSID", nullptr, clsid_text},
  };
  if (info.threading_model) rows.push_back({clsid_key + L"\\InprocServer32", L"ThreadingModel", info.threading_model});
  return rows;
}

HRESULT RegisterControlClass(const ControlClassInfo& info) {
  const std::vector<RegistryRow> rows = ControlClassRows(info, Module::Path());
  const HRESULT hr = WriteRegistryRows(rows);
  if (FAILED(hr) || info.threading_model) return hr;
  // A class registered without a threading model must not keep one that another server of the
  // same class wrote earlier.
  const std::wstring server_key = ClsidKey(info.clsid) + L"\\InprocServer32";
  const LONG rc = RegDeleteKeyValueW(HKEY_CLASSES_ROOT, server_key.c_str(), L"ThreadingModel");
  return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND ? S_OK : HRESULT_FROM_WIN32(rc);
}

bool OtherRegistryViewHasClass(const CLSID& clsid) {
  BOOL wow64 = FALSE;
  IsWow64Process(GetCurrentProcess(), &wow64);
  const bool is_64bit = sizeof(void*) == 8;
  if (!is_64bit && !wow64) return false;  // a 32-bit system has one view only
  const REGSAM other_view = is_64bit ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
  HKEY key = nullptr;
  const std::wstring name = ClsidKey(clsid) + L"\\InprocServer32";
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, name.c_str(), 0, KEY_READ | other_view, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

HRESULT UnregisterClass(const CLSID& clsid, const wchar_t* prog_id) {
  std::vector<std::wstring> keys = {ClsidKey(clsid)};
  if (prog_id && !OtherRegistryViewHasClass(clsid)) keys.emplace_back(prog_id);
  return DeleteRegistryKeys(keys);
}

HRESULT RegisterPropertyPageClass(const CLSID& clsid, const std::wstring& type_name) {
  const std::wstring clsid_key = ClsidKey(clsid);
  const RegistryRow rows[] = {
      {clsid_key, nullptr, type_name},
      {clsid_key + L"\\InprocServer32", nullptr, Module::Path()},
  };
  return WriteRegistryRows(rows);
}

HRESULT RegisterModuleTypeLib(const std::wstring& help_dir) {
  std::wstring path = Module::Path();
  ComPtr<ITypeLib> typelib;
  HRESULT hr = LoadTypeLibEx(path.c_str(), REGKIND_NONE, typelib.Put());
  if (FAILED(hr)) return hr;
  std::wstring help = help_dir;
  // An empty help directory is written as empty; a null one would make it the module folder.
  hr = RegisterTypeLib(typelib.Get(), path.data(), help.data());
  QZ_TRACE("RegisterTypeLib %#lx", static_cast<unsigned long>(hr));
  return hr;
}

HRESULT UnregisterTypeLibrary(const GUID& libid, WORD major, WORD minor) {
  const SYSKIND own_kind = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;
  const HRESULT hr = UnRegisterTypeLib(libid, major, minor, LOCALE_NEUTRAL, own_kind);
  QZ_TRACE("UnRegisterTypeLib %#lx", static_cast<unsigned long>(hr));
  return hr;
}

}  // namespace qzf
