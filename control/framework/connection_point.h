// One outgoing interface of an object: the sinks that advised it, by cookie. Embedded in its
// owner, whose lifetime it shares (AddRef and Release go to the owner).
#pragma once
#include <ocidl.h>
#include <olectl.h>
#include <vector>

#include "com_ptr.h"

namespace qzf {

class ConnectionPoint final : public IConnectionPoint {
public:
  // `dispatch_fallback`: the interface is a dispinterface, so a sink that only knows IDispatch is accepted.
  ConnectionPoint(IConnectionPointContainer* owner, const IID& iid, bool dispatch_fallback);
  ConnectionPoint(const ConnectionPoint&) = delete;
  ConnectionPoint& operator=(const ConnectionPoint&) = delete;

  const IID& Iid() const { return iid_; }
  // A copy, so a sink may unadvise while it is being called.
  std::vector<ComPtr<IUnknown>> Sinks() const;
  size_t SinkCount() const { return sinks_.size(); }
  void Clear() { sinks_.clear(); }

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  STDMETHODIMP GetConnectionInterface(IID* iid) override;
  STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** out) override;
  STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
  STDMETHODIMP Unadvise(DWORD cookie) override;
  STDMETHODIMP EnumConnections(IEnumConnections** out) override;

private:
  struct Sink {
    DWORD cookie;
    ComPtr<IUnknown> object;
  };
  IConnectionPointContainer* owner_;
  IID iid_;
  bool dispatch_fallback_;
  DWORD next_cookie_ = 1;
  std::vector<Sink> sinks_;
};

}  // namespace qzf
