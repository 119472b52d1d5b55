// The COM server: the class table, the four standard entry points and self-registration.
#include <windows.h>
#include <olectl.h>

#include <string>

#include "dialog_hooks.h"
#include "module.h"
#include "page_classes.h"
#include "qzcommdl_ctrl.h"
#include "registration.h"
#include "resource.h"
#include "trace.h"
#include "type_library_help.h"

// The dialog hooks live in the control library and are called only through the export table;
// naming them here links them in (on i686 the export also needs the decorated symbol present).
[[gnu::used]] static const void* const kExportedHooks[] = {reinterpret_cast<const void*>(&CommdlgHook),
                                                           reinterpret_cast<const void*>(&CommdlgColorHook),
                                                           reinterpret_cast<const void*>(&CommdlgFontHook),
                                                           reinterpret_cast<const void*>(&CommdlgPrintHook),
                                                           reinterpret_cast<const void*>(&CommdlgPrintSetupHook)};

namespace qz {
namespace {

std::wstring LoadModuleString(UINT id) {
  const wchar_t* text = nullptr;
  const int length = LoadStringW(qzf::Module::Instance(), id, reinterpret_cast<LPWSTR>(&text), 0);
  return length > 0 ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

#ifdef QZ_VERSION5
constexpr const wchar_t* kThreadingModel = nullptr;  // the older build registers none
#else
constexpr const wchar_t* kThreadingModel = L"Apartment";
#endif

HRESULT UpdateControlRegistry(bool register_class) {
  if (!register_class) return qzf::UnregisterClass(kClsidCtrl, kProgIdCtrl);
  const qzf::ControlClassInfo info{kClsidCtrl, kProgIdCtrl, LoadModuleString(IDS_CONTROL_TYPE_NAME),
                                   IDB_TOOLBOX, kThreadingModel, kMiscStatus, kLibid, kTypeLibMajor, kTypeLibMinor};
  return qzf::RegisterControlClass(info);
}

const qzf::ClassEntry kClasses[] = {
    {&kClsidCtrl, &qzf::OleControl::CreateInstance<CQzcommdlCtrl>, &UpdateControlRegistry},
    {&kClsidGeneralPage, &CreateGeneralPage, &UpdateGeneralPageRegistry},
    {&kClsidMorePage, &CreateMorePage, &UpdateMorePageRegistry},
};

}  // namespace
}  // namespace qz

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
  if (reason == DLL_PROCESS_ATTACH) {
    qzf::Module::Attach(instance);
    DisableThreadLibraryCalls(instance);
  }
  return TRUE;
}

extern "C" HRESULT WINAPI DllGetClassObject(REFCLSID clsid, REFIID iid, void** out) {
  return qzf::Module::GetClassObject(qz::kClasses, clsid, iid, out);
}

extern "C" HRESULT WINAPI DllCanUnloadNow() { return qzf::Module::CanUnloadNow(); }

extern "C" HRESULT WINAPI DllRegisterServer() {
  QZ_TRACE("%s", "enter");
  if (FAILED(qzf::RegisterModuleTypeLib(qz::TypeLibraryHelpDirectory()))) return SELFREG_E_TYPELIB;
  if (FAILED(qzf::Module::UpdateRegistryAll(qz::kClasses, true))) return SELFREG_E_CLASS;
  return S_OK;
}

extern "C" HRESULT WINAPI DllUnregisterServer() {
  QZ_TRACE("%s", "enter");
  if (FAILED(qzf::UnregisterTypeLibrary(qz::kLibid, qz::kTypeLibMajor, qz::kTypeLibMinor))) return SELFREG_E_TYPELIB;
  if (FAILED(qzf::Module::UpdateRegistryAll(qz::kClasses, false))) return SELFREG_E_CLASS;
  return S_OK;
}
