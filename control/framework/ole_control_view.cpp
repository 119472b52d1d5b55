// IViewObject2: lets a container draw the control into its own device context (design view,
// print preview) without the control's window.
#include "ole_control.h"
#include "trace.h"

namespace qzf {

STDMETHODIMP OleControl::Draw(DWORD aspect, LONG, void*, DVTARGETDEVICE*, HDC, HDC draw_dc, LPCRECTL bounds,
                              LPCRECTL, BOOL(STDMETHODCALLTYPE*)(ULONG_PTR), ULONG_PTR) {
  QZ_TRACE("aspect %lu", aspect);
  if (aspect != DVASPECT_CONTENT) return DV_E_DVASPECT;
  if (!draw_dc) return E_INVALIDARG;
  RECT area{};
  if (bounds) {
    area = {bounds->left, bounds->top, bounds->right, bounds->bottom};
  } else if (hwnd_) {
    GetClientRect(hwnd_, &area);
  } else {
    return E_INVALIDARG;
  }
  const DWORD kind = GetObjectType(draw_dc);
  if (kind == OBJ_METADC || kind == OBJ_ENHMETADC) OnDrawMetafile(draw_dc, area);
  else OnDraw(draw_dc, area);
  return S_OK;
}

STDMETHODIMP OleControl::GetColorSet(DWORD, LONG, void*, DVTARGETDEVICE*, HDC, LOGPALETTE** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  return S_FALSE;
}

STDMETHODIMP OleControl::Freeze(DWORD, LONG, void*, DWORD* cookie) {
  if (!cookie) return E_POINTER;
  *cookie = 0;
  return E_NOTIMPL;
}

STDMETHODIMP OleControl::Unfreeze(DWORD) { return E_NOTIMPL; }

STDMETHODIMP OleControl::SetAdvise(DWORD aspects, DWORD flags, IAdviseSink* sink) {
  view_aspects_ = aspects;
  view_flags_ = flags;
  view_sink_ = ComPtr<IAdviseSink>(sink);
  return S_OK;
}

STDMETHODIMP OleControl::GetAdvise(DWORD* aspects, DWORD* flags, IAdviseSink** sink) {
  if (aspects) *aspects = view_aspects_;
  if (flags) *flags = view_flags_;
  if (sink) *sink = view_sink_.CopyOut();
  return S_OK;
}

STDMETHODIMP OleControl::GetExtent(DWORD aspect, LONG, DVTARGETDEVICE*, LPSIZEL size) {
  return GetExtent(aspect, size);
}

}  // namespace qzf
