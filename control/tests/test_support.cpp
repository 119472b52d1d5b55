#include "test_support.h"

#include <stdexcept>

#include "qzcommdl_ids.h"

namespace qztest {

std::wstring ExeDirectory() {
  wchar_t path[MAX_PATH];
  const DWORD n = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring dir(path, n);
  return dir.substr(0, dir.find_last_of(L"\\/") + 1);
}

// QZ_CONTROL_FILE names another build of the control beside the test program.
std::wstring OcxPath() {
  wchar_t name[MAX_PATH] = L"";
  const DWORD n = GetEnvironmentVariableW(L"QZ_CONTROL_FILE", name, MAX_PATH);
  return ExeDirectory() + (n > 0 && n < MAX_PATH ? std::wstring(name, n) : std::wstring(L"Qzdialog32.ocx"));
}

ControlLibrary& ControlLibrary::Get() {
  static ControlLibrary library = [] {
    ControlLibrary lib;
    lib.module = LoadLibraryW(OcxPath().c_str());
    if (!lib.module) throw std::runtime_error("cannot load the control beside the test program");
    auto find = [&](const char* name) { return reinterpret_cast<void*>(GetProcAddress(lib.module, name)); };
    lib.get_class_object = reinterpret_cast<decltype(lib.get_class_object)>(find("DllGetClassObject"));
    lib.can_unload_now = reinterpret_cast<decltype(lib.can_unload_now)>(find("DllCanUnloadNow"));
    lib.register_server = reinterpret_cast<decltype(lib.register_server)>(find("DllRegisterServer"));
    lib.unregister_server = reinterpret_cast<decltype(lib.unregister_server)>(find("DllUnregisterServer"));
    return lib;
  }();
  return library;
}

namespace {

ComPtr<IDispatch> CreateThrough(HRESULT(WINAPI* get_class_object)(REFCLSID, REFIID, void**)) {
  ComPtr<IClassFactory> factory;
  ComPtr<IDispatch> control;
  if (!get_class_object || FAILED(get_class_object(qz::kClsidCtrl, IID_IClassFactory, factory.PutVoid())))
    return control;
  factory->CreateInstance(nullptr, IID_IDispatch, control.PutVoid());
  return control;
}

}  // namespace

ComPtr<IDispatch> CreateControl() { return CreateThrough(ControlLibrary::Get().get_class_object); }

ComPtr<IDispatch> CreateControlFrom(const std::wstring& file) {
  // Held for the rest of the test program, as the library of CreateControl is.
  const HMODULE module = LoadLibraryW((ExeDirectory() + file).c_str());
  if (!module) return {};
  return CreateThrough(reinterpret_cast<HRESULT(WINAPI*)(REFCLSID, REFIID, void**)>(
      reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject"))));
}

long Var::AsLong() const {
  VARIANT copy;
  VariantInit(&copy);
  if (FAILED(VariantChangeType(&copy, const_cast<VARIANT*>(&v), 0, VT_I4))) return -999999;
  return copy.lVal;
}

std::wstring Var::AsString() const {
  VARIANT copy;
  VariantInit(&copy);
  if (FAILED(VariantChangeType(&copy, const_cast<VARIANT*>(&v), 0, VT_BSTR))) return L"<not a string>";
  std::wstring out(copy.bstrVal ? copy.bstrVal : L"", copy.bstrVal ? SysStringLen(copy.bstrVal) : 0);
  VariantClear(&copy);
  return out;
}

bool Var::AsBool() const { return v.vt == VT_BOOL && v.boolVal != VARIANT_FALSE; }

DISPID IdOf(IDispatch* object, const wchar_t* name) {
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  return id;
}

CallResult InvokeRaw(IDispatch* object, DISPID id, WORD flags, std::vector<Var> args, bool named_put) {
  CallResult result;
  std::vector<VARIANT> reversed;
  for (auto it = args.rbegin(); it != args.rend(); ++it) reversed.push_back(it->v);
  DISPID put_id = DISPID_PROPERTYPUT;
  DISPPARAMS params{reversed.data(), named_put ? &put_id : nullptr, static_cast<UINT>(reversed.size()),
                    named_put ? 1u : 0u};
  EXCEPINFO excep{};
  result.hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, &result.value.v, &excep,
                             &result.arg_err);
  if (result.hr == DISP_E_EXCEPTION) {
    result.scode = excep.scode;
    if (excep.bstrDescription) result.description.assign(excep.bstrDescription, SysStringLen(excep.bstrDescription));
  }
  SysFreeString(excep.bstrDescription);
  SysFreeString(excep.bstrSource);
  SysFreeString(excep.bstrHelpFile);
  return result;
}

CallResult Get(IDispatch* object, const wchar_t* name, const std::vector<Var>& index) {
  return InvokeRaw(object, IdOf(object, name), DISPATCH_PROPERTYGET | DISPATCH_METHOD, index, false);
}

CallResult Put(IDispatch* object, const wchar_t* name, const Var& value, const std::vector<Var>& index) {
  std::vector<Var> args = index;
  args.push_back(value);  // the value comes last in declaration order
  return InvokeRaw(object, IdOf(object, name), DISPATCH_PROPERTYPUT, args, true);
}

CallResult Call(IDispatch* object, const wchar_t* name) {
  return InvokeRaw(object, IdOf(object, name), DISPATCH_METHOD, {}, false);
}

// TestSite

STDMETHODIMP TestSite::QueryInterface(REFIID iid, void** out) {
  *out = nullptr;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleClientSite)) *out = static_cast<IOleClientSite*>(this);
  else if (IsEqualIID(iid, IID_IDispatch) && ambient_ != Ambient::None) *out = static_cast<IDispatch*>(this);
  else if ((IsEqualIID(iid, IID_IOleInPlaceSite) || IsEqualIID(iid, IID_IOleWindow)) && window_)
    *out = static_cast<IOleInPlaceSite*>(this);
  if (!*out) return E_NOINTERFACE;
  AddRef();
  return S_OK;
}

STDMETHODIMP TestSite::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*, UINT*) {
  if (id != DISPID_AMBIENT_USERMODE || !result) return DISP_E_MEMBERNOTFOUND;
  ++ambient_queries;
  result->vt = VT_BOOL;
  result->boolVal = ambient_ == Ambient::RunMode ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

STDMETHODIMP TestSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT pos,
                                        LPRECT clip, LPOLEINPLACEFRAMEINFO) {
  *frame = frame_;
  if (frame_) frame_->AddRef();
  *doc = nullptr;
  *pos = {10, 10, 38, 38};
  *clip = {0, 0, 400, 300};
  return S_OK;
}

STDMETHODIMP TestFrame::QueryInterface(REFIID iid, void** out) {
  *out = nullptr;
  if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IOleWindow) && !IsEqualIID(iid, IID_IOleInPlaceUIWindow) &&
      !IsEqualIID(iid, IID_IOleInPlaceFrame))
    return E_NOINTERFACE;
  *out = static_cast<IOleInPlaceFrame*>(this);
  return S_OK;
}

STDMETHODIMP NotifySink::QueryInterface(REFIID iid, void** out) {
  *out = nullptr;
  if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IPropertyNotifySink)) return E_NOINTERFACE;
  *out = this;
  return S_OK;
}

STDMETHODIMP EventSink::QueryInterface(REFIID iid, void** out) {
  *out = nullptr;
  if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IDispatch) && !IsEqualIID(iid, iid_))
    return E_NOINTERFACE;
  *out = this;
  return S_OK;
}

STDMETHODIMP EventSink::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) {
  Event event{id, {}};
  for (UINT i = params->cArgs; i-- > 0;) {
    Var copy;
    VariantCopyInd(&copy.v, &params->rgvarg[i]);
    event.args.push_back(copy);
  }
  events.push_back(event);
  return S_OK;
}

STDMETHODIMP MemoryBag::QueryInterface(REFIID iid, void** out) {
  *out = nullptr;
  if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IPropertyBag)) return E_NOINTERFACE;
  *out = this;
  return S_OK;
}

STDMETHODIMP MemoryBag::Read(LPCOLESTR name, VARIANT* value, IErrorLog*) {
  auto it = values.find(name);
  if (it == values.end()) return E_INVALIDARG;
  const VARTYPE wanted = value->vt;
  if (wanted == VT_EMPTY) return VariantCopy(value, &it->second.v);
  return VariantChangeType(value, &it->second.v, 0, wanted);
}

STDMETHODIMP MemoryBag::Write(LPCOLESTR name, VARIANT* value) {
  Var copy;
  VariantCopy(&copy.v, value);
  values[name] = copy;
  return S_OK;
}

DWORD Connect(IUnknown* object, const IID& iid, IUnknown* sink) {
  ComPtr<IConnectionPointContainer> container;
  if (FAILED(object->QueryInterface(IID_IConnectionPointContainer, container.PutVoid()))) return 0;
  ComPtr<IConnectionPoint> point;
  if (FAILED(container->FindConnectionPoint(iid, point.Put()))) return 0;
  DWORD cookie = 0;
  point->Advise(sink, &cookie);
  return cookie;
}

HWND CreateHostWindow() {
  static const bool registered = [] {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"QzTestHost";
    return RegisterClassW(&wc) != 0;
  }();
  (void)registered;
  return CreateWindowW(L"QzTestHost", L"host", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN, 0, 0, 400, 300, nullptr,
                       nullptr, GetModuleHandleW(nullptr), nullptr);
}

}  // namespace qztest
