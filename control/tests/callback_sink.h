// An event sink that records like EventSink and also runs the test's own handler, on the
// control's thread, while the event is being fired: a host's event procedure.
#pragma once
#include <functional>

#include "test_support.h"

namespace qztest {

class CallbackSink : public EventSink {
public:
  using Handler = std::function<void(DISPID id, const std::vector<Var>& args)>;
  CallbackSink(const IID& events_iid, Handler handler = {})
      : EventSink(events_iid), handler_(std::move(handler)) {}
  void SetHandler(Handler handler) { handler_ = std::move(handler); }
  STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* info, UINT* arg_err) override {
    const HRESULT hr = EventSink::Invoke(id, iid, lcid, flags, params, result, info, arg_err);
    if (handler_ && !events.empty()) handler_(id, events.back().args);
    return hr;
  }

private:
  Handler handler_;
};

}  // namespace qztest
