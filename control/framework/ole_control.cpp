// Object identity, lifetime, dispatch, class information, events and the services that the
// derived control calls.
#include "ole_control.h"

#include <algorithm>
#include <new>

#include "enumerator.h"
#include "module.h"
#include "text_convert.h"
#include "trace.h"

namespace qzf {

OleControl::OleControl(const ControlClassTraits& traits)
    : traits_(traits),
      events_(this, *traits.events_iid, true),
      property_notify_(this, IID_IPropertyNotifySink, false) {
  CreateDefaultFont();
}

OleControl::~OleControl() {
  DestroyControlWindow();
}

void OleControl::CreateDefaultFont() {
  FONTDESC desc{};
  desc.cbSizeofstruct = sizeof desc;
  desc.lpstrName = const_cast<LPOLESTR>(L"MS Sans Serif");
  desc.cySize.int64 = 80000;  // 8 points, CY fixed point
  desc.sWeight = FW_NORMAL;
  desc.sCharset = DEFAULT_CHARSET;
  font_.Reset();
  OleCreateFontIndirect(&desc, IID_IFont, font_.PutVoid());
}

STDMETHODIMP OleControl::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  struct Row {
    const IID* iid;
    void* object;
  };
  const Row table[] = {
      {&IID_IUnknown, static_cast<IDispatch*>(this)},
      {&IID_IDispatch, static_cast<IDispatch*>(this)},
      {traits_.dispatch_iid, static_cast<IDispatch*>(this)},
      {&IID_IProvideClassInfo, static_cast<IProvideClassInfo2*>(this)},
      {&IID_IProvideClassInfo2, static_cast<IProvideClassInfo2*>(this)},
      {&IID_IConnectionPointContainer, static_cast<IConnectionPointContainer*>(this)},
      {&IID_IPersist, static_cast<IPersistStreamInit*>(this)},
      {&IID_IPersistStreamInit, static_cast<IPersistStreamInit*>(this)},
      {&IID_IPersistPropertyBag, static_cast<IPersistPropertyBag*>(this)},
      {&IID_IPersistStorage, static_cast<IPersistStorage*>(this)},
      {&IID_IOleObject, static_cast<IOleObject*>(this)},
      {&IID_IOleWindow, static_cast<IOleInPlaceObject*>(this)},
      {&IID_IOleInPlaceObject, static_cast<IOleInPlaceObject*>(this)},
      {&IID_IOleInPlaceActiveObject, static_cast<IOleInPlaceActiveObject*>(this)},
      {&IID_IOleControl, static_cast<IOleControl*>(this)},
      {&IID_IViewObject, static_cast<IViewObject2*>(this)},
      {&IID_IViewObject2, static_cast<IViewObject2*>(this)},
      {&IID_ISpecifyPropertyPages, static_cast<ISpecifyPropertyPages*>(this)},
      {&IID_IPerPropertyBrowsing, static_cast<IPerPropertyBrowsing*>(this)},
      {&IID_IObjectSafety, static_cast<IObjectSafety*>(this)},
  };
  for (const Row& row : table) {
    if (IsEqualIID(iid, *row.iid)) {
      *out = row.object;
      AddRef();
      return S_OK;
    }
  }
  return E_NOINTERFACE;
}

ITypeLib* OleControl::TypeLib() {
  if (!typelib_) LoadTypeLibEx(Module::Path().c_str(), REGKIND_NONE, typelib_.Put());
  return typelib_.Get();
}

// IDispatch

STDMETHODIMP OleControl::GetTypeInfoCount(UINT* count) {
  if (!count) return E_POINTER;
  *count = TypeLib() ? 1 : 0;
  return S_OK;
}

STDMETHODIMP OleControl::GetTypeInfo(UINT index, LCID, ITypeInfo** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (index != 0) return DISP_E_BADINDEX;
  ITypeLib* typelib = TypeLib();
  if (!typelib) return TYPE_E_CANTLOADLIBRARY;
  return typelib->GetTypeInfoOfGuid(*traits_.dispatch_iid, out);
}

STDMETHODIMP OleControl::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  return DispatchGetIDsOfNames(DispatchTable(), names, count, ids);
}

STDMETHODIMP OleControl::Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                EXCEPINFO* excep, UINT* arg_err) {
  if (!IsEqualIID(iid, IID_NULL)) return DISP_E_UNKNOWNINTERFACE;
  AddRef();  // a handler may cause the last client reference to go
  const HRESULT hr =
      DispatchInvoke(*this, id, flags, params, result, excep, arg_err, traits_.source_name, *traits_.dispatch_iid);
  Release();
  return hr;
}

// IProvideClassInfo2

STDMETHODIMP OleControl::GetClassInfo(ITypeInfo** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  ITypeLib* typelib = TypeLib();
  if (!typelib) return TYPE_E_CANTLOADLIBRARY;
  return typelib->GetTypeInfoOfGuid(*traits_.clsid, out);
}

STDMETHODIMP OleControl::GetGUID(DWORD kind, GUID* out) {
  if (!out) return E_POINTER;
  if (kind != GUIDKIND_DEFAULT_SOURCE_DISP_IID) {
    *out = GUID_NULL;
    return E_INVALIDARG;
  }
  *out = *traits_.events_iid;
  return S_OK;
}

// IConnectionPointContainer

STDMETHODIMP OleControl::EnumConnectionPoints(IEnumConnectionPoints** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  try {
    auto snapshot = std::make_shared<Snapshot<IConnectionPoint*>>();
    snapshot->Add(&events_);
    snapshot->Add(&property_notify_);
    return ConnectionPointEnumerator::Create(std::move(snapshot), 0, out);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

STDMETHODIMP OleControl::FindConnectionPoint(REFIID iid, IConnectionPoint** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  ConnectionPoint* point = nullptr;
  if (IsEqualIID(iid, events_.Iid())) point = &events_;
  if (IsEqualIID(iid, property_notify_.Iid())) point = &property_notify_;
  if (!point) return CONNECT_E_NOCONNECTION;
  *out = point;
  point->AddRef();
  return S_OK;
}

// ISpecifyPropertyPages

STDMETHODIMP OleControl::GetPages(CAUUID* pages) {
  if (!pages) return E_POINTER;
  pages->cElems = 0;
  pages->pElems = nullptr;
  const std::vector<CLSID> list = PropertyPages();
  if (list.empty()) return S_OK;
  auto* elems = static_cast<GUID*>(CoTaskMemAlloc(list.size() * sizeof(GUID)));
  if (!elems) return E_OUTOFMEMORY;
  std::copy(list.begin(), list.end(), elems);
  pages->cElems = static_cast<ULONG>(list.size());
  pages->pElems = elems;
  return S_OK;
}

// IPerPropertyBrowsing

bool OleControl::OnGetDisplayString(DISPID id, std::wstring& text) {
  if (id != DISPID_FONT || !font_) return false;
  BSTR name = nullptr;
  if (FAILED(font_->get_Name(&name)) || !name) return false;
  text.assign(name, SysStringLen(name));
  SysFreeString(name);
  return true;
}

STDMETHODIMP OleControl::GetDisplayString(DISPID id, BSTR* out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  try {
    std::wstring text;
    if (!OnGetDisplayString(id, text)) return E_NOTIMPL;
    *out = AllocBstr(text);
    return S_OK;
  } catch (...) {
    return E_OUTOFMEMORY;
  }
}

STDMETHODIMP OleControl::MapPropertyToPage(DISPID, CLSID* out) {
  if (!out) return E_POINTER;
  *out = CLSID_NULL;
  return PERPROP_E_NOPAGEAVAILABLE;
}

STDMETHODIMP OleControl::GetPredefinedStrings(DISPID, CALPOLESTR* strings, CADWORD* cookies) {
  if (!strings || !cookies) return E_POINTER;
  *strings = CALPOLESTR{};
  *cookies = CADWORD{};
  return E_NOTIMPL;
}

STDMETHODIMP OleControl::GetPredefinedValue(DISPID, DWORD, VARIANT* out) {
  if (!out) return E_POINTER;
  VariantInit(out);
  return E_NOTIMPL;
}

void OleControl::SetBackColor(OLE_COLOR color) {
  back_color_ = color;
  OnBackColorChanged();
}

COLORREF OleControl::TranslateColor(OLE_COLOR color) {
  COLORREF out = 0;
  if (FAILED(OleTranslateColor(color, nullptr, &out))) out = GetSysColor(COLOR_WINDOW);
  return out;
}

// IObjectSafety: the control accepts every safety option and changes nothing for them.

STDMETHODIMP OleControl::GetInterfaceSafetyOptions(REFIID, DWORD* supported, DWORD* enabled) {
  if (!supported || !enabled) return E_POINTER;
  *supported = INTERFACESAFE_FOR_UNTRUSTED_CALLER | INTERFACESAFE_FOR_UNTRUSTED_DATA;
  *enabled = *supported;
  return S_OK;
}

STDMETHODIMP OleControl::SetInterfaceSafetyOptions(REFIID, DWORD, DWORD) { return S_OK; }

// Services

bool OleControl::AmbientUserMode() const {
  if (!site_) return true;
  ComPtr<IDispatch> ambient;
  if (FAILED(site_.As(IID_IDispatch, ambient))) return true;
  VARIANT value;
  VariantInit(&value);
  DISPPARAMS none{};
  const HRESULT hr = ambient->Invoke(DISPID_AMBIENT_USERMODE, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET,
                                     &none, &value, nullptr, nullptr);
  bool user_mode = true;
  if (SUCCEEDED(hr) && SUCCEEDED(VariantChangeType(&value, &value, 0, VT_BOOL))) user_mode = value.boolVal != VARIANT_FALSE;
  VariantClear(&value);
  return user_mode;
}

void OleControl::BoundPropertyChanged(DISPID id) {
  for (const ComPtr<IUnknown>& sink : property_notify_.Sinks())
    static_cast<IPropertyNotifySink*>(sink.Get())->OnChanged(id);
}

void OleControl::FireEvent(DISPID id, std::span<VARIANT> args) {
  if (freeze_count_ > 0) return;
  std::vector<VARIANT> reversed(args.rbegin(), args.rend());
  DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  AddRef();
  for (const ComPtr<IUnknown>& sink : events_.Sinks()) {
    auto* target = static_cast<IDispatch*>(sink.Get());
    target->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
  }
  Release();
}

void OleControl::SetControlSize(int cx, int cy) {
  HDC screen = GetDC(nullptr);
  const int dpi_x = GetDeviceCaps(screen, LOGPIXELSX);
  const int dpi_y = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  extent_.cx = MulDiv(cx, 2540, dpi_x ? dpi_x : 96);
  extent_.cy = MulDiv(cy, 2540, dpi_y ? dpi_y : 96);
  if (in_place_site_ && hwnd_) {
    RECT r = position_;
    r.right = r.left + cx;
    r.bottom = r.top + cy;
    in_place_site_->OnPosRectChange(&r);
  }
}

void OleControl::InvalidateControl() {
  if (hwnd_) InvalidateRect(hwnd_, nullptr, TRUE);
  if (view_sink_) view_sink_->OnViewChange(DVASPECT_CONTENT, -1);
}

}  // namespace qzf
