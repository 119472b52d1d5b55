// IClassFactory for one row of the module's class table. Factories count as objects,
// so the module stays loaded while a client holds one.
#pragma once
#include <unknwn.h>

#include "com_object.h"

namespace qzf {

class ClassFactory final : public ComObject<IClassFactory> {
public:
  using CreateFn = HRESULT (*)(REFIID iid, void** out);
  static HRESULT Create(CreateFn create, REFIID iid, void** out);

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override;
  STDMETHODIMP LockServer(BOOL lock) override;

private:
  explicit ClassFactory(CreateFn create) : create_(create) {}
  CreateFn create_;
};

}  // namespace qzf
