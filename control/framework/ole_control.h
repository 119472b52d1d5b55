// The framework's ActiveX control: one COM object that carries the standard control interfaces
// and calls virtual hooks of the derived control (dispatch table, property exchange, drawing,
// reset, window messages). Interfaces by multiple inheritance, found through one QueryInterface table.
#pragma once
#include <windows.h>
#include <objsafe.h>
#include <ocidl.h>
#include <olectl.h>
#include <span>
#include <string>
#include <vector>

#include "com_object.h"
#include "com_ptr.h"
#include "connection_point.h"
#include "dispatch_table.h"
#include "prop_exchange.h"

namespace qzf {

// Identity and behaviour constants of a control class, given by the derived control.
struct ControlClassTraits {
  const CLSID* clsid;
  const IID* dispatch_iid;
  const IID* events_iid;
  const GUID* libid;
  WORD typelib_major;
  WORD typelib_minor;
  DWORD misc_status;
  const wchar_t* source_name;  // source of raised automation errors
};

// Mask of stock properties written under "_StockProps".
inline constexpr long kStockPropFont = 0x04;

class OleControl : public DispatchTarget,
                   public ComObject<IDispatch, IProvideClassInfo2, IConnectionPointContainer, IPersistStreamInit,
                                    IPersistPropertyBag, IPersistStorage, IOleObject, IOleInPlaceObject,
                                    IOleInPlaceActiveObject, IOleControl, IViewObject2, ISpecifyPropertyPages,
                                    IPerPropertyBrowsing, IObjectSafety> {
public:
  explicit OleControl(const ControlClassTraits& traits);
  ~OleControl() override;

  // Creates a control of type T and queries it for `iid`; for the module's class table.
  template <class T>
  static HRESULT CreateInstance(REFIID iid, void** out);

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;

  // IDispatch
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT index, LCID lcid, ITypeInfo** out) override;
  STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override;
  STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* excep, UINT* arg_err) override;

  // IProvideClassInfo2
  STDMETHODIMP GetClassInfo(ITypeInfo** out) override;
  STDMETHODIMP GetGUID(DWORD kind, GUID* out) override;

  // IConnectionPointContainer
  STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** out) override;
  STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** out) override;

  // IPersist, IPersistStreamInit, IPersistPropertyBag, IPersistStorage
  STDMETHODIMP GetClassID(CLSID* out) override;
  STDMETHODIMP IsDirty() override;
  STDMETHODIMP Load(IStream* stream) override;
  STDMETHODIMP Save(IStream* stream, BOOL clear_dirty) override;
  STDMETHODIMP GetSizeMax(ULARGE_INTEGER* size) override;
  STDMETHODIMP InitNew() override;
  STDMETHODIMP Load(IPropertyBag* bag, IErrorLog* log) override;
  STDMETHODIMP Save(IPropertyBag* bag, BOOL clear_dirty, BOOL save_all) override;
  STDMETHODIMP InitNew(IStorage* storage) override;
  STDMETHODIMP Load(IStorage* storage) override;
  STDMETHODIMP Save(IStorage* storage, BOOL same_as_load) override;
  STDMETHODIMP SaveCompleted(IStorage* storage) override;
  STDMETHODIMP HandsOffStorage() override;

  // IOleObject
  STDMETHODIMP SetClientSite(IOleClientSite* site) override;
  STDMETHODIMP GetClientSite(IOleClientSite** out) override;
  STDMETHODIMP SetHostNames(LPCOLESTR app, LPCOLESTR object) override;
  STDMETHODIMP Close(DWORD save_option) override;
  STDMETHODIMP SetMoniker(DWORD which, IMoniker* moniker) override;
  STDMETHODIMP GetMoniker(DWORD assign, DWORD which, IMoniker** out) override;
  STDMETHODIMP InitFromData(IDataObject* data, BOOL creation, DWORD reserved) override;
  STDMETHODIMP GetClipboardData(DWORD reserved, IDataObject** out) override;
  STDMETHODIMP DoVerb(LONG verb, LPMSG msg, IOleClientSite* site, LONG index, HWND parent, LPCRECT rect) override;
  STDMETHODIMP EnumVerbs(IEnumOLEVERB** out) override;
  STDMETHODIMP Update() override;
  STDMETHODIMP IsUpToDate() override;
  STDMETHODIMP GetUserClassID(CLSID* out) override;
  STDMETHODIMP GetUserType(DWORD form, LPOLESTR* out) override;
  STDMETHODIMP SetExtent(DWORD aspect, SIZEL* size) override;
  STDMETHODIMP GetExtent(DWORD aspect, SIZEL* size) override;
  STDMETHODIMP Advise(IAdviseSink* sink, DWORD* cookie) override;
  STDMETHODIMP Unadvise(DWORD cookie) override;
  STDMETHODIMP EnumAdvise(IEnumSTATDATA** out) override;
  STDMETHODIMP GetMiscStatus(DWORD aspect, DWORD* status) override;
  STDMETHODIMP SetColorScheme(LOGPALETTE* palette) override;

  // IOleWindow, IOleInPlaceObject, IOleInPlaceActiveObject
  STDMETHODIMP GetWindow(HWND* out) override;
  STDMETHODIMP ContextSensitiveHelp(BOOL enter) override;
  STDMETHODIMP InPlaceDeactivate() override;
  STDMETHODIMP UIDeactivate() override;
  STDMETHODIMP SetObjectRects(LPCRECT position, LPCRECT clip) override;
  STDMETHODIMP ReactivateAndUndo() override;
  STDMETHODIMP TranslateAccelerator(LPMSG msg) override;
  STDMETHODIMP OnFrameWindowActivate(BOOL activate) override;
  STDMETHODIMP OnDocWindowActivate(BOOL activate) override;
  STDMETHODIMP ResizeBorder(LPCRECT border, IOleInPlaceUIWindow* window, BOOL frame) override;
  STDMETHODIMP EnableModeless(BOOL enable) override;

  // IOleControl
  STDMETHODIMP GetControlInfo(CONTROLINFO* info) override;
  STDMETHODIMP OnMnemonic(MSG* msg) override;
  STDMETHODIMP OnAmbientPropertyChange(DISPID id) override;
  STDMETHODIMP FreezeEvents(BOOL freeze) override;

  // IViewObject, IViewObject2
  STDMETHODIMP Draw(DWORD aspect, LONG index, void* aspect_info, DVTARGETDEVICE* device, HDC target_dc,
                    HDC draw_dc, LPCRECTL bounds, LPCRECTL wbounds, BOOL(STDMETHODCALLTYPE* cont)(ULONG_PTR),
                    ULONG_PTR cont_arg) override;
  STDMETHODIMP GetColorSet(DWORD aspect, LONG index, void* aspect_info, DVTARGETDEVICE* device, HDC dc,
                           LOGPALETTE** out) override;
  STDMETHODIMP Freeze(DWORD aspect, LONG index, void* aspect_info, DWORD* cookie) override;
  STDMETHODIMP Unfreeze(DWORD cookie) override;
  STDMETHODIMP SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) override;
  STDMETHODIMP GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) override;
  STDMETHODIMP GetExtent(DWORD aspect, LONG index, DVTARGETDEVICE* device, LPSIZEL size) override;

  // ISpecifyPropertyPages
  STDMETHODIMP GetPages(CAUUID* pages) override;

  // IPerPropertyBrowsing
  STDMETHODIMP GetDisplayString(DISPID id, BSTR* out) override;
  STDMETHODIMP MapPropertyToPage(DISPID id, CLSID* out) override;
  STDMETHODIMP GetPredefinedStrings(DISPID id, CALPOLESTR* strings, CADWORD* cookies) override;
  STDMETHODIMP GetPredefinedValue(DISPID id, DWORD cookie, VARIANT* out) override;

  // IObjectSafety
  STDMETHODIMP GetInterfaceSafetyOptions(REFIID iid, DWORD* supported, DWORD* enabled) override;
  STDMETHODIMP SetInterfaceSafetyOptions(REFIID iid, DWORD mask, DWORD enabled) override;

  // Services for the derived control.
  bool AmbientUserMode() const;          // true (run mode) when no site answers
  void BoundPropertyChanged(DISPID id);  // IPropertyNotifySink::OnChanged to every sink
  void SetModifiedFlag(bool modified) { modified_ = modified; }
  bool IsModified() const { return modified_; }
  void FireEvent(DISPID id, std::span<VARIANT> args_in_order);
  HWND WindowHandle() const { return hwnd_; }
  HWND EnsureWindow();                   // the in-place window, or a hidden one without a container
  bool IsInPlaceActive() const { return in_place_active_; }
  void SetControlSize(int cx_pixels, int cy_pixels);
  SIZEL ExtentHimetric() const { return extent_; }
  void InvalidateControl();
  ComPtr<IFont>& StockFont() { return font_; }
  DWORD LoadedVersion() const { return loaded_version_; }
  ITypeLib* TypeLib();                   // this module's type library; nullptr when it cannot load
  // Stock colours (system colours until changed), and an OLE_COLOR as a COLORREF.
  OLE_COLOR BackColor() const { return back_color_; }
  OLE_COLOR ForeColor() const { return fore_color_; }
  void SetBackColor(OLE_COLOR color);
  static COLORREF TranslateColor(OLE_COLOR color);
  // Converts between HIMETRIC and the container's unit through the site (XFORMCOORDS_* flags);
  // E_NOINTERFACE when the site cannot convert.
  HRESULT TransformCoords(POINTL* himetric, POINTF* container, DWORD flags);
  // Where the control's client area starts relative to the container's clip origin; never
  // positive, so a control scrolled partly out of view draws its visible part in place.
  POINT ClientOffset() const { return client_offset_; }

protected:
  // Hooks of the derived control.
  virtual void DoPropExchange(PropExchange& px);  // the base exchanges extent and stock properties
  virtual void OnResetState();                     // the base resets the stock font
  virtual void OnDraw(HDC dc, const RECT& bounds);
  // Drawing into a metafile, where the control's own drawing may need device-independent output.
  virtual void OnDrawMetafile(HDC dc, const RECT& bounds) { OnDraw(dc, bounds); }
  virtual void PreCreateWindow(CREATESTRUCTW& create);
  // Returns true when the message is fully handled (`result` set).
  virtual bool OnWindowMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result);
  virtual std::vector<CLSID> PropertyPages() const { return {}; }
  // The text a property browser shows for a property; false when there is none. The base
  // shows the stock font's name.
  virtual bool OnGetDisplayString(DISPID id, std::wstring& text);
  virtual void OnBackColorChanged() { InvalidateControl(); }
  // Keyboard messages the in-place control sees before the container; true when handled.
  virtual bool PreTranslateMessage(MSG& msg) { (void)msg; return false; }
  LRESULT DefaultWindowProc(UINT message, WPARAM wparam, LPARAM lparam);

  // Stores or checks the version stamp; when loading, records the stored version.
  void ExchangeVersion(PropExchange& px, DWORD version, bool convert);
  void ExchangeExtent(PropExchange& px);
  void ExchangeStockProps(PropExchange& px);
  // Derived destructors call this so their WM_DESTROY handling still runs.
  void DestroyControlWindow();

private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  HRESULT CreateControlWindow(HWND parent, const RECT& position, bool child);
  HRESULT InPlaceActivate(LONG verb, HWND parent);
  HRESULT RunExchange(PropExchange& px);  // with the old state restored on damaged data
  HRESULT LoadWith(PropExchange& px);
  void CreateDefaultFont();
  HRESULT ReportPersistError(const PersistError& error);

  const ControlClassTraits& traits_;
  ComPtr<ITypeLib> typelib_;
  ConnectionPoint events_;
  ConnectionPoint property_notify_;
  ComPtr<IOleClientSite> site_;
  ComPtr<IOleInPlaceSite> in_place_site_;
  ComPtr<IOleInPlaceFrame> frame_;
  ComPtr<IOleInPlaceUIWindow> document_;
  ComPtr<IOleAdviseHolder> advise_holder_;
  ComPtr<IAdviseSink> view_sink_;
  DWORD view_aspects_ = 0;
  DWORD view_flags_ = 0;
  ComPtr<IFont> font_;
  HWND hwnd_ = nullptr;
  bool in_place_active_ = false;
  bool ui_active_ = false;
  bool modified_ = false;
  bool initialised_ = false;
  int freeze_count_ = 0;
  SIZEL extent_{};
  RECT position_{};
  POINT client_offset_{};
  DWORD loaded_version_ = 0;
  OLE_COLOR back_color_ = 0x80000000 | COLOR_WINDOW;
  OLE_COLOR fore_color_ = 0x80000000 | COLOR_WINDOWTEXT;
  DWORD current_version_ = 0;
};

template <class T>
HRESULT OleControl::CreateInstance(REFIID iid, void** out) {
  T* control = nullptr;
  try {
    control = new T();
  } catch (...) {
    return E_OUTOFMEMORY;
  }
  const HRESULT hr = static_cast<IDispatch*>(control)->QueryInterface(iid, out);
  static_cast<IDispatch*>(control)->Release();
  return hr;
}

}  // namespace qzf
