// IOleObject, IOleInPlaceObject, IOleInPlaceActiveObject and IOleControl: what form designers
// and host windows call to site, size and activate the control.
#include <algorithm>

#include "ole_control.h"
#include "trace.h"

namespace qzf {

STDMETHODIMP OleControl::SetClientSite(IOleClientSite* site) {
  QZ_TRACE("site %p", static_cast<void*>(site));
  if (!site && in_place_active_) InPlaceDeactivate();
  site_ = ComPtr<IOleClientSite>(site);
  return S_OK;
}

STDMETHODIMP OleControl::GetClientSite(IOleClientSite** out) {
  if (!out) return E_POINTER;
  *out = site_.CopyOut();
  return S_OK;
}

STDMETHODIMP OleControl::SetHostNames(LPCOLESTR, LPCOLESTR) { return S_OK; }

STDMETHODIMP OleControl::Close(DWORD save_option) {
  QZ_TRACE("option %lu", save_option);
  if (save_option == OLECLOSE_SAVEIFDIRTY && modified_ && site_) site_->SaveObject();
  if (in_place_active_) InPlaceDeactivate();
  DestroyControlWindow();
  if (advise_holder_) advise_holder_->SendOnClose();
  return S_OK;
}

STDMETHODIMP OleControl::SetMoniker(DWORD, IMoniker*) { return E_NOTIMPL; }

STDMETHODIMP OleControl::GetMoniker(DWORD, DWORD, IMoniker** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP OleControl::InitFromData(IDataObject*, BOOL, DWORD) { return E_NOTIMPL; }

STDMETHODIMP OleControl::GetClipboardData(DWORD, IDataObject** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  return E_NOTIMPL;
}

HRESULT OleControl::InPlaceActivate(LONG verb, HWND parent) {
  if (!site_) return E_UNEXPECTED;
  if (!in_place_active_) {
    HRESULT hr = site_.As(IID_IOleInPlaceSite, in_place_site_);
    if (FAILED(hr)) return hr;
    if (in_place_site_->CanInPlaceActivate() != S_OK) {
      in_place_site_.Reset();
      return E_FAIL;
    }
    hr = in_place_site_->OnInPlaceActivate();
    if (FAILED(hr)) {
      in_place_site_.Reset();
      return hr;
    }
    in_place_active_ = true;

    HWND container = nullptr;
    in_place_site_->GetWindow(&container);
    if (!container) container = parent;
    ComPtr<IOleInPlaceFrame> frame;
    ComPtr<IOleInPlaceUIWindow> document;
    RECT position{}, clip{};
    OLEINPLACEFRAMEINFO frame_info{};
    frame_info.cb = sizeof frame_info;
    in_place_site_->GetWindowContext(frame.Put(), document.Put(), &position, &clip, &frame_info);
    position_ = position;
    frame_ = frame;
    document_ = document;
    if (hwnd_) DestroyControlWindow();  // the hidden stand-alone window gives way to the child
    hr = CreateControlWindow(container, position, container != nullptr);
    if (FAILED(hr)) {
      InPlaceDeactivate();
      return hr;
    }
  }
  if (verb == OLEIVERB_UIACTIVATE && !ui_active_) {
    ui_active_ = true;
    in_place_site_->OnUIActivate();
    // The frame and document route accelerators to the active object.
    auto* active = static_cast<IOleInPlaceActiveObject*>(this);
    if (frame_) frame_->SetActiveObject(active, nullptr);
    if (document_) document_->SetActiveObject(active, nullptr);
    if (hwnd_) SetFocus(hwnd_);
  }
  return S_OK;
}

STDMETHODIMP OleControl::DoVerb(LONG verb, LPMSG, IOleClientSite* site, LONG, HWND parent, LPCRECT) {
  QZ_TRACE("verb %ld", verb);
  if (site && !site_) site_ = ComPtr<IOleClientSite>(site);
  switch (verb) {
    case OLEIVERB_PRIMARY:
    case OLEIVERB_SHOW:
    case OLEIVERB_INPLACEACTIVATE:
      return InPlaceActivate(OLEIVERB_INPLACEACTIVATE, parent);
    case OLEIVERB_UIACTIVATE:
      return InPlaceActivate(OLEIVERB_UIACTIVATE, parent);
    case OLEIVERB_HIDE:
      if (hwnd_) ShowWindow(hwnd_, SW_HIDE);
      return S_OK;
    case OLEIVERB_PROPERTIES: {
      const std::vector<CLSID> pages = PropertyPages();
      if (pages.empty()) return OLEOBJ_S_CANNOT_DOVERB_NOW;
      IUnknown* self = static_cast<IDispatch*>(this);
      return OleCreatePropertyFrame(parent, 0, 0, nullptr, 1, &self, static_cast<ULONG>(pages.size()),
                                    const_cast<CLSID*>(pages.data()), LOCALE_USER_DEFAULT, 0, nullptr);
    }
    default:
      return verb < 0 ? E_NOTIMPL : OLEOBJ_S_INVALIDVERB;
  }
}

STDMETHODIMP OleControl::EnumVerbs(IEnumOLEVERB** out) {
  if (!out) return E_POINTER;
  return OleRegEnumVerbs(*traits_.clsid, out);
}

STDMETHODIMP OleControl::Update() { return S_OK; }
STDMETHODIMP OleControl::IsUpToDate() { return S_OK; }

STDMETHODIMP OleControl::GetUserClassID(CLSID* out) {
  if (!out) return E_POINTER;
  *out = *traits_.clsid;
  return S_OK;
}

STDMETHODIMP OleControl::GetUserType(DWORD form, LPOLESTR* out) {
  if (!out) return E_POINTER;
  return OleRegGetUserType(*traits_.clsid, form, out);
}

STDMETHODIMP OleControl::SetExtent(DWORD aspect, SIZEL* size) {
  if (!size) return E_POINTER;
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (size->cx < 0 || size->cy < 0) return E_INVALIDARG;
  extent_ = *size;
  return S_OK;
}

STDMETHODIMP OleControl::GetExtent(DWORD aspect, SIZEL* size) {
  if (!size) return E_POINTER;
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  *size = extent_;
  return S_OK;
}

STDMETHODIMP OleControl::Advise(IAdviseSink* sink, DWORD* cookie) {
  if (!cookie) return E_POINTER;
  *cookie = 0;
  if (!advise_holder_) {
    const HRESULT hr = CreateOleAdviseHolder(advise_holder_.Put());
    if (FAILED(hr)) return hr;
  }
  return advise_holder_->Advise(sink, cookie);
}

STDMETHODIMP OleControl::Unadvise(DWORD cookie) {
  if (!advise_holder_) return OLE_E_NOCONNECTION;
  return advise_holder_->Unadvise(cookie);
}

STDMETHODIMP OleControl::EnumAdvise(IEnumSTATDATA** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (!advise_holder_) return S_OK;
  return advise_holder_->EnumAdvise(out);
}

STDMETHODIMP OleControl::GetMiscStatus(DWORD aspect, DWORD* status) {
  if (!status) return E_POINTER;
  *status = aspect == DVASPECT_CONTENT ? traits_.misc_status : 0;
  return S_OK;
}

STDMETHODIMP OleControl::SetColorScheme(LOGPALETTE*) { return E_NOTIMPL; }

// IOleInPlaceObject

STDMETHODIMP OleControl::GetWindow(HWND* out) {
  if (!out) return E_POINTER;
  *out = hwnd_;
  return hwnd_ ? S_OK : E_FAIL;
}

STDMETHODIMP OleControl::ContextSensitiveHelp(BOOL) { return E_NOTIMPL; }

STDMETHODIMP OleControl::InPlaceDeactivate() {
  QZ_TRACE("%s", "enter");
  if (!in_place_active_) return S_OK;
  UIDeactivate();
  in_place_active_ = false;
  DestroyControlWindow();
  frame_.Reset();
  document_.Reset();
  if (in_place_site_) {
    ComPtr<IOleInPlaceSite> site = in_place_site_;
    in_place_site_.Reset();
    site->OnInPlaceDeactivate();
  }
  return S_OK;
}

STDMETHODIMP OleControl::UIDeactivate() {
  if (!ui_active_) return S_OK;
  ui_active_ = false;
  if (document_) document_->SetActiveObject(nullptr, nullptr);
  if (frame_) frame_->SetActiveObject(nullptr, nullptr);
  if (in_place_site_) in_place_site_->OnUIDeactivate(FALSE);
  return S_OK;
}

STDMETHODIMP OleControl::SetObjectRects(LPCRECT position, LPCRECT clip) {
  if (!position) return E_POINTER;
  position_ = *position;
  // The framework draws no tracker frame, so the window covers exactly the position rectangle.
  const RECT q = *position;
  RECT visible = q;
  POINT origin{0, 0};
  const bool clipped = clip && !IsRectEmpty(clip);
  if (clipped) {
    IntersectRect(&visible, &q, clip);
    origin = {clip->left, clip->top};
  }
  client_offset_ = {std::min(q.left - origin.x, 0L), std::min(q.top - origin.y, 0L)};
  if (hwnd_ && in_place_active_) {
    MoveWindow(hwnd_, q.left, q.top, q.right - q.left, q.bottom - q.top, TRUE);
    // Only the part inside the container's clip rectangle may paint over the container.
    if (clipped && !EqualRect(&visible, &q)) {
      OffsetRect(&visible, -q.left, -q.top);
      SetWindowRgn(hwnd_, CreateRectRgnIndirect(&visible), TRUE);
    } else {
      SetWindowRgn(hwnd_, nullptr, TRUE);
    }
  }
  return S_OK;
}

STDMETHODIMP OleControl::ReactivateAndUndo() { return E_NOTIMPL; }

// IOleInPlaceActiveObject

STDMETHODIMP OleControl::TranslateAccelerator(LPMSG msg) {
  if (!msg) return E_POINTER;
  return PreTranslateMessage(*msg) ? S_OK : S_FALSE;
}
STDMETHODIMP OleControl::OnFrameWindowActivate(BOOL) { return S_OK; }
STDMETHODIMP OleControl::OnDocWindowActivate(BOOL) { return S_OK; }
STDMETHODIMP OleControl::ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) { return S_OK; }
STDMETHODIMP OleControl::EnableModeless(BOOL) { return S_OK; }

// IOleControl

STDMETHODIMP OleControl::GetControlInfo(CONTROLINFO* info) {
  if (!info) return E_POINTER;
  info->cb = sizeof *info;
  info->hAccel = nullptr;
  info->cAccel = 0;
  info->dwFlags = 0;
  return S_OK;
}

STDMETHODIMP OleControl::OnMnemonic(MSG*) { return E_NOTIMPL; }

STDMETHODIMP OleControl::OnAmbientPropertyChange(DISPID id) {
  QZ_TRACE("dispid %ld", static_cast<long>(id));
  if (id == DISPID_AMBIENT_USERMODE || id == DISPID_UNKNOWN) InvalidateControl();
  return S_OK;
}

STDMETHODIMP OleControl::FreezeEvents(BOOL freeze) {
  freeze_count_ += freeze ? 1 : -1;
  if (freeze_count_ < 0) freeze_count_ = 0;
  return S_OK;
}

}  // namespace qzf
