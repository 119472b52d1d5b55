#include "connection_point.h"

#include <new>

#include "enumerator.h"
#include "trace.h"

namespace qzf {

ConnectionPoint::ConnectionPoint(IConnectionPointContainer* owner, const IID& iid, bool dispatch_fallback)
    : owner_(owner), iid_(iid), dispatch_fallback_(dispatch_fallback) {}

std::vector<ComPtr<IUnknown>> ConnectionPoint::Sinks() const {
  std::vector<ComPtr<IUnknown>> out;
  out.reserve(sinks_.size());
  for (const Sink& sink : sinks_) out.push_back(sink.object);
  return out;
}

STDMETHODIMP ConnectionPoint::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IConnectionPoint)) {
    *out = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
  }
  return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) ConnectionPoint::AddRef() { return owner_->AddRef(); }
STDMETHODIMP_(ULONG) ConnectionPoint::Release() { return owner_->Release(); }

STDMETHODIMP ConnectionPoint::GetConnectionInterface(IID* iid) {
  if (!iid) return E_POINTER;
  *iid = iid_;
  return S_OK;
}

STDMETHODIMP ConnectionPoint::GetConnectionPointContainer(IConnectionPointContainer** out) {
  if (!out) return E_POINTER;
  *out = owner_;
  owner_->AddRef();
  return S_OK;
}

STDMETHODIMP ConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
  if (!cookie) return E_POINTER;
  *cookie = 0;
  if (!sink) return E_POINTER;
  ComPtr<IUnknown> object;
  HRESULT hr = sink->QueryInterface(iid_, object.PutVoid());
  if (FAILED(hr) && dispatch_fallback_) hr = sink->QueryInterface(IID_IDispatch, object.PutVoid());
  if (FAILED(hr)) return CONNECT_E_CANNOTCONNECT;
  try {
    sinks_.push_back({next_cookie_, object});
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
  *cookie = next_cookie_++;
  QZ_TRACE("cookie %lu", *cookie);
  return S_OK;
}

STDMETHODIMP ConnectionPoint::Unadvise(DWORD cookie) {
  for (auto it = sinks_.begin(); it != sinks_.end(); ++it) {
    if (it->cookie == cookie) {
      sinks_.erase(it);
      return S_OK;
    }
  }
  return CONNECT_E_NOCONNECTION;
}

STDMETHODIMP ConnectionPoint::EnumConnections(IEnumConnections** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  try {
    auto snapshot = std::make_shared<Snapshot<CONNECTDATA>>();
    for (const Sink& sink : sinks_) snapshot->Add(CONNECTDATA{sink.object.Get(), sink.cookie});
    return ConnectionEnumerator::Create(std::move(snapshot), 0, out);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  }
}

}  // namespace qzf
