// Module-wide server state: the instance handle, the object and lock counts behind
// DllCanUnloadNow, and the table of creatable classes behind DllGetClassObject.
#pragma once
#include <windows.h>
#include <span>
#include <string>

namespace qzf {

// One creatable class. `create` makes an instance and queries it for `iid`;
// `update_registry` writes (true) or removes (false) the class's registry entries.
struct ClassEntry {
  const CLSID* clsid;
  HRESULT (*create)(REFIID iid, void** out);
  HRESULT (*update_registry)(bool register_class);
};

class Module {
public:
  static void Attach(HINSTANCE instance);
  static HINSTANCE Instance();
  static std::wstring Path();           // full path of this module's file
  static std::wstring Directory();      // with a trailing backslash

  static void ObjectCreated();
  static void ObjectDestroyed();
  static void Lock(bool lock);
  static long ObjectCount();
  static long LockCount();

  static HRESULT GetClassObject(std::span<const ClassEntry> classes, REFCLSID clsid, REFIID iid, void** out);
  static HRESULT CanUnloadNow();
  // Runs every class's registration routine; stops at the first failure.
  static HRESULT UpdateRegistryAll(std::span<const ClassEntry> classes, bool register_classes);
};

}  // namespace qzf
