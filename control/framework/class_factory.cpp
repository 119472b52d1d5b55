#include "class_factory.h"

#include <new>

#include "module.h"
#include "trace.h"

namespace qzf {


HRESULT ClassFactory::Create(CreateFn create, REFIID iid, void** out) {
  auto* factory = new (std::nothrow) ClassFactory(create);
  if (!factory) return E_OUTOFMEMORY;
  const HRESULT hr = factory->QueryInterface(iid, out);
  factory->Release();
  return hr;
}

STDMETHODIMP ClassFactory::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
    *out = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
  }
  return E_NOINTERFACE;
}

STDMETHODIMP ClassFactory::CreateInstance(IUnknown* outer, REFIID iid, void** out) {
  QZ_TRACE("outer %p", static_cast<void*>(outer));
  if (!out) return E_POINTER;
  *out = nullptr;
  if (outer) return CLASS_E_NOAGGREGATION;
  return create_(iid, out);
}

STDMETHODIMP ClassFactory::LockServer(BOOL lock) {
  Module::Lock(lock != FALSE);
  return S_OK;
}

}  // namespace qzf
