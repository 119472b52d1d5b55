#include "module.h"

#include "class_factory.h"
#include "trace.h"

namespace qzf {
namespace {
HINSTANCE g_instance;
LONG g_objects;
LONG g_locks;
}  // namespace

void Module::Attach(HINSTANCE instance) { g_instance = instance; }
HINSTANCE Module::Instance() { return g_instance; }

std::wstring Module::Path() {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD n = GetModuleFileNameW(g_instance, path.data(), static_cast<DWORD>(path.size()));
    if (n == 0) return {};
    if (n < path.size()) { path.resize(n); return path; }
    path.resize(path.size() * 2);
  }
}

std::wstring Module::Directory() {
  std::wstring path = Path();
  const size_t slash = path.find_last_of(L"\\/");
  return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash + 1);
}

void Module::ObjectCreated() { InterlockedIncrement(&g_objects); }
void Module::ObjectDestroyed() { InterlockedDecrement(&g_objects); }
void Module::Lock(bool lock) { lock ? InterlockedIncrement(&g_locks) : InterlockedDecrement(&g_locks); }
long Module::ObjectCount() { return g_objects; }
long Module::LockCount() { return g_locks; }

HRESULT Module::GetClassObject(std::span<const ClassEntry> classes, REFCLSID clsid, REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  for (const ClassEntry& entry : classes) {
    if (IsEqualCLSID(*entry.clsid, clsid)) {
      QZ_TRACE("found class factory");
      return ClassFactory::Create(entry.create, iid, out);
    }
  }
  return CLASS_E_CLASSNOTAVAILABLE;
}

HRESULT Module::CanUnloadNow() { return (g_objects == 0 && g_locks == 0) ? S_OK : S_FALSE; }

HRESULT Module::UpdateRegistryAll(std::span<const ClassEntry> classes, bool register_classes) {
  for (const ClassEntry& entry : classes) {
    if (!entry.update_registry) continue;
    const HRESULT hr = entry.update_registry(register_classes);
    if (FAILED(hr)) return hr;
  }
  return S_OK;
}

}  // namespace qzf
