// The reference count every COM object of the framework shares: the object counts towards the
// module's unload check while it lives and deletes itself on its last release.
#pragma once
#include <unknwn.h>

#include "module.h"

namespace qzf {

template <class... Interfaces>
class ComObject : public Interfaces... {
public:
  ComObject(const ComObject&) = delete;
  ComObject& operator=(const ComObject&) = delete;

  STDMETHODIMP_(ULONG) AddRef() override { return InterlockedIncrement(&refs_); }
  STDMETHODIMP_(ULONG) Release() override {
    const LONG refs = InterlockedDecrement(&refs_);
    if (refs == 0) {
      refs_ = 1;  // a release made while the object is destroyed must not delete it again
      delete this;
    }
    return refs;
  }

protected:
  ComObject() { Module::ObjectCreated(); }
  virtual ~ComObject() { Module::ObjectDestroyed(); }

private:
  LONG refs_ = 1;
};

}  // namespace qzf
