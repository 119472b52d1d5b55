// Shared test host pieces: loading the control straight from its file, calling it through
// IDispatch by name, and the mock site, sinks and property bag the tests hand to it.
#pragma once
#include <windows.h>
#include <ocidl.h>
#include <olectl.h>

#include <map>
#include <string>
#include <vector>

#include "com_ptr.h"

namespace qztest {

using qzf::ComPtr;

std::wstring ExeDirectory();
std::wstring OcxPath();

// The control library loaded from the test program's folder.
struct ControlLibrary {
  HMODULE module = nullptr;
  HRESULT(WINAPI* get_class_object)(REFCLSID, REFIID, void**) = nullptr;
  HRESULT(WINAPI* can_unload_now)() = nullptr;
  HRESULT(WINAPI* register_server)() = nullptr;
  HRESULT(WINAPI* unregister_server)() = nullptr;
  static ControlLibrary& Get();
};

ComPtr<IDispatch> CreateControl();
// A control of another build beside the test program, named by its file name.
ComPtr<IDispatch> CreateControlFrom(const std::wstring& file);

// A VARIANT that clears itself.
struct Var {
  VARIANT v;
  Var() { VariantInit(&v); }
  Var(short x) : Var() { v.vt = VT_I2; v.iVal = x; }
  Var(int x) : Var() { v.vt = VT_I4; v.lVal = x; }
  Var(long x) : Var() { v.vt = VT_I4; v.lVal = x; }
  Var(double x) : Var() { v.vt = VT_R8; v.dblVal = x; }
  Var(bool x) : Var() { v.vt = VT_BOOL; v.boolVal = x ? VARIANT_TRUE : VARIANT_FALSE; }
  Var(const wchar_t* s) : Var() { v.vt = VT_BSTR; v.bstrVal = SysAllocString(s); }
  Var(const std::wstring& s) : Var() { v.vt = VT_BSTR; v.bstrVal = SysAllocStringLen(s.data(), static_cast<UINT>(s.size())); }
  Var(const Var& o) : Var() { VariantCopy(&v, const_cast<VARIANT*>(&o.v)); }
  Var& operator=(const Var& o) { if (this != &o) VariantCopy(&v, const_cast<VARIANT*>(&o.v)); return *this; }
  ~Var() { VariantClear(&v); }
  long AsLong() const;
  std::wstring AsString() const;
  bool AsBool() const;
};

// The outcome of one IDispatch call.
struct CallResult {
  HRESULT hr = E_FAIL;
  HRESULT scode = S_OK;         // EXCEPINFO's code when hr is DISP_E_EXCEPTION
  std::wstring description;
  UINT arg_err = ~0u;
  Var value;
  // The error number a script sees: the low word of a FACILITY_CONTROL code.
  long ErrorNumber() const { return static_cast<long>(scode & 0xFFFF); }
};

DISPID IdOf(IDispatch* object, const wchar_t* name);
CallResult Get(IDispatch* object, const wchar_t* name, const std::vector<Var>& index = {});
CallResult Put(IDispatch* object, const wchar_t* name, const Var& value, const std::vector<Var>& index = {});
CallResult Call(IDispatch* object, const wchar_t* name);
CallResult InvokeRaw(IDispatch* object, DISPID id, WORD flags, std::vector<Var> args_in_order, bool named_put);

// An in-place frame that records which object it was told is active.
class TestFrame : public IOleInPlaceFrame {
public:
  IOleInPlaceActiveObject* active = nullptr;
  int set_active_calls = 0;
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP GetWindow(HWND* out) override { *out = nullptr; return E_FAIL; }
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP GetBorder(LPRECT) override { return INPLACE_E_NOTOOLSPACE; }
  STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return INPLACE_E_NOTOOLSPACE; }
  STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return S_OK; }
  STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) override {
    active = object;
    ++set_active_calls;
    return S_OK;
  }
  STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
  STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
  STDMETHODIMP RemoveMenus(HMENU) override { return E_NOTIMPL; }
  STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
  STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
  STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }
};

// A client site that answers ambient UserMode (or offers no ambient properties at all) and, as
// an in-place site, activates the control in a window of its own.
class TestSite : public IOleClientSite, public IDispatch, public IOleInPlaceSite {
public:
  enum class Ambient { RunMode, DesignMode, None };
  explicit TestSite(Ambient ambient, HWND window = nullptr, TestFrame* frame = nullptr)
      : ambient_(ambient), window_(window), frame_(frame) {}
  virtual ~TestSite() = default;
  void SetAmbient(Ambient ambient) { ambient_ = ambient; }
  int ambient_queries = 0;
  int activations = 0;
  int deactivations = 0;
  int ui_activations = 0;
  int ui_deactivations = 0;

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
  STDMETHODIMP_(ULONG) Release() override { return --refs_; }  // lives on the test's stack
  // IOleClientSite
  STDMETHODIMP SaveObject() override { return S_OK; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** out) override { *out = nullptr; return E_NOTIMPL; }
  STDMETHODIMP GetContainer(IOleContainer** out) override { *out = nullptr; return E_NOINTERFACE; }
  STDMETHODIMP ShowObject() override { return S_OK; }
  STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
  STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }
  // IDispatch: the ambient properties
  STDMETHODIMP GetTypeInfoCount(UINT* n) override { *n = 0; return S_OK; }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result, EXCEPINFO*, UINT*) override;
  // IOleWindow, IOleInPlaceSite
  STDMETHODIMP GetWindow(HWND* out) override { *out = window_; return window_ ? S_OK : E_FAIL; }
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP CanInPlaceActivate() override { return window_ ? S_OK : S_FALSE; }
  STDMETHODIMP OnInPlaceActivate() override { ++activations; return S_OK; }
  STDMETHODIMP OnUIActivate() override { ++ui_activations; return S_OK; }
  STDMETHODIMP GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** doc, LPRECT pos, LPRECT clip,
                                LPOLEINPLACEFRAMEINFO) override;
  STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
  STDMETHODIMP OnUIDeactivate(BOOL) override { ++ui_deactivations; return S_OK; }
  STDMETHODIMP OnInPlaceDeactivate() override { ++deactivations; return S_OK; }
  STDMETHODIMP DiscardUndoState() override { return S_OK; }
  STDMETHODIMP DeactivateAndUndo() override { return S_OK; }
  STDMETHODIMP OnPosRectChange(LPCRECT) override { return S_OK; }

private:
  Ambient ambient_;
  HWND window_;
  TestFrame* frame_;
  ULONG refs_ = 1;
};

// Records IPropertyNotifySink::OnChanged calls.
class NotifySink : public IPropertyNotifySink {
public:
  std::vector<DISPID> changed;
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP OnChanged(DISPID id) override { changed.push_back(id); return S_OK; }
  STDMETHODIMP OnRequestEdit(DISPID) override { return S_OK; }
};

// Records the events fired to the control's event interface, with their arguments.
class EventSink : public IDispatch {
public:
  explicit EventSink(const IID& events_iid) : iid_(events_iid) {}
  struct Event {
    DISPID id;
    std::vector<Var> args;  // in declaration order
  };
  std::vector<Event> events;
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP GetTypeInfoCount(UINT* n) override { *n = 0; return S_OK; }
  STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
  STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
  STDMETHODIMP Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override;

private:
  IID iid_;
};

// An in-memory property bag.
class MemoryBag : public IPropertyBag {
public:
  std::map<std::wstring, Var> values;
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP Read(LPCOLESTR name, VARIANT* value, IErrorLog*) override;
  STDMETHODIMP Write(LPCOLESTR name, VARIANT* value) override;
};

// Connects a sink to one connection point of `object`; returns the cookie (0 on failure).
DWORD Connect(IUnknown* object, const IID& iid, IUnknown* sink);

// A plain top-level window to parent controls in the hosting tests.
HWND CreateHostWindow();

}  // namespace qztest
