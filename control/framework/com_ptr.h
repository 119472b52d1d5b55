// Owning pointer to a COM interface: releases on destruction, AddRefs on copy.
#pragma once
#include <objbase.h>
#include <utility>

namespace qzf {

template <class T>
class ComPtr {
public:
  ComPtr() = default;
  ComPtr(T* p) : p_(p) { if (p_) p_->AddRef(); }
  ComPtr(const ComPtr& o) : ComPtr(o.p_) {}
  ComPtr(ComPtr&& o) noexcept : p_(std::exchange(o.p_, nullptr)) {}
  ~ComPtr() { Reset(); }
  ComPtr& operator=(ComPtr o) noexcept { std::swap(p_, o.p_); return *this; }

  T* Get() const { return p_; }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

  // For out-parameters: drops the current pointer first.
  T** Put() { Reset(); return &p_; }
  void** PutVoid() { return reinterpret_cast<void**>(Put()); }

  void Reset() { if (T* p = std::exchange(p_, nullptr)) p->Release(); }
  void Attach(T* p) { Reset(); p_ = p; }
  T* Detach() { return std::exchange(p_, nullptr); }

  // Hands out an AddRef'd copy (for returning through an out-parameter).
  T* CopyOut() const { if (p_) p_->AddRef(); return p_; }

  template <class U>
  HRESULT As(const IID& iid, ComPtr<U>& out) const {
    if (!p_) return E_POINTER;
    return p_->QueryInterface(iid, out.PutVoid());
  }

private:
  T* p_ = nullptr;
};

}  // namespace qzf
