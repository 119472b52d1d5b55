// A control activated in place in a top-level window of the test, as a form hosts it: its
// window then has a parent, which the dialogs take as their owner.
#pragma once
#include <memory>

#include "test_support.h"

namespace qztest {

struct HostedControl {
  HWND host = nullptr;
  ComPtr<IDispatch> control;
  ComPtr<IOleObject> object;
  std::unique_ptr<TestSite> site;

  // False when any step fails.
  bool Open() {
    host = CreateHostWindow();
    control = CreateControl();
    if (!host || !control || FAILED(control.As(IID_IOleObject, object))) return false;
    site = std::make_unique<TestSite>(TestSite::Ambient::RunMode, host);
    ComPtr<IPersistStreamInit> persist;
    RECT r{10, 10, 38, 38};
    return SUCCEEDED(object->SetClientSite(site.get())) && SUCCEEDED(control.As(IID_IPersistStreamInit, persist)) &&
           SUCCEEDED(persist->InitNew()) &&
           SUCCEEDED(object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site.get(), 0, host, &r));
  }
  void Close() {
    if (object) {
      object->Close(OLECLOSE_NOSAVE);
      object->SetClientSite(nullptr);
    }
    object.Reset();
    control.Reset();
    if (host) DestroyWindow(host);
    host = nullptr;
  }
};

}  // namespace qztest
