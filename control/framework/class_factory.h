// IClassFactory for one row of the module's class table. Factories count as objects,
// so the module stays loaded while a client holds one.
#pragma once
#include <unknwn.h>

namespace qzf {

class ClassFactory final : public IClassFactory {
public:
  using CreateFn = HRESULT (*)(REFIID iid, void** out);
  static HRESULT Create(CreateFn create, REFIID iid, void** out);

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;
  STDMETHODIMP_(ULONG) AddRef() override;
  STDMETHODIMP_(ULONG) Release() override;
  STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** out) override;
  STDMETHODIMP LockServer(BOOL lock) override;

private:
  explicit ClassFactory(CreateFn create);
  ~ClassFactory();
  LONG refs_ = 1;
  CreateFn create_;
};

}  // namespace qzf
