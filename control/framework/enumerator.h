// COM enumerators (IEnumConnectionPoints, IEnumConnections) over a snapshot taken when the
// enumerator is made. The snapshot holds a reference on every element and is shared by clones.
#pragma once
#include <ocidl.h>

#include <memory>
#include <new>
#include <vector>

#include "com_object.h"

namespace qzf {

inline void ReleaseElement(IUnknown* element) { if (element) element->Release(); }
inline void ReleaseElement(const CONNECTDATA& element) { if (element.pUnk) element.pUnk->Release(); }
inline void AddRefElement(IUnknown* element) { if (element) element->AddRef(); }
inline void AddRefElement(const CONNECTDATA& element) { if (element.pUnk) element.pUnk->AddRef(); }

template <class Element>
struct Snapshot {
  std::vector<Element> items;  // each holds one reference
  Snapshot() = default;
  Snapshot(const Snapshot&) = delete;
  Snapshot& operator=(const Snapshot&) = delete;
  ~Snapshot() {
    for (const Element& e : items) ReleaseElement(e);
  }
  void Add(Element e) {
    items.push_back(e);  // may throw before the reference is taken
    AddRefElement(e);
  }
};

template <class Interface, const IID* Iid, class Element>
class Enumerator final : public ComObject<Interface> {
public:
  static HRESULT Create(std::shared_ptr<const Snapshot<Element>> snapshot, size_t position, Interface** out) {
    if (!out) return E_POINTER;
    *out = new (std::nothrow) Enumerator(std::move(snapshot), position);
    return *out ? S_OK : E_OUTOFMEMORY;
  }

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    if (!out) return E_POINTER;
    *out = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, *Iid)) return E_NOINTERFACE;
    *out = static_cast<Interface*>(this);
    this->AddRef();
    return S_OK;
  }

  STDMETHODIMP Next(ULONG count, Element* out, ULONG* fetched) override {
    if (!out || (count > 1 && !fetched)) return E_POINTER;
    ULONG n = 0;
    while (n < count && position_ < snapshot_->items.size()) {
      out[n] = snapshot_->items[position_++];
      AddRefElement(out[n++]);
    }
    if (fetched) *fetched = n;
    return n == count ? S_OK : S_FALSE;
  }
  STDMETHODIMP Skip(ULONG count) override {
    const size_t left = snapshot_->items.size() - position_;
    position_ += count < left ? count : left;
    return count <= left ? S_OK : S_FALSE;
  }
  STDMETHODIMP Reset() override {
    position_ = 0;
    return S_OK;
  }
  STDMETHODIMP Clone(Interface** out) override { return Create(snapshot_, position_, out); }

private:
  Enumerator(std::shared_ptr<const Snapshot<Element>> snapshot, size_t position)
      : snapshot_(std::move(snapshot)), position_(position) {}
  std::shared_ptr<const Snapshot<Element>> snapshot_;
  size_t position_;
};

using ConnectionPointEnumerator = Enumerator<IEnumConnectionPoints, &IID_IEnumConnectionPoints, IConnectionPoint*>;
using ConnectionEnumerator = Enumerator<IEnumConnections, &IID_IEnumConnections, CONNECTDATA>;

}  // namespace qzf
