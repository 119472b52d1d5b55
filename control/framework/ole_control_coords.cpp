// Coordinate transformation through the container: only the site knows its own unit.
#include "ole_control.h"
#include "trace.h"

namespace qzf {

HRESULT OleControl::TransformCoords(POINTL* himetric, POINTF* container, DWORD flags) {
  QZ_TRACE("flags %lu", flags);
  if (!himetric || !container) return E_POINTER;
  ComPtr<IOleControlSite> control_site;
  const HRESULT hr = site_.As(IID_IOleControlSite, control_site);
  if (FAILED(hr)) return hr;
  return control_site->TransformCoords(himetric, container, flags);
}

}  // namespace qzf
