// IPersistStreamInit, IPersistPropertyBag and IPersistStorage over one property exchange.
// Loading damaged data reports the error and puts the previous state back.
#include <new>

#include "ole_control.h"
#include "trace.h"

namespace qzf {
namespace {

constexpr wchar_t kContentsStream[] = L"Contents";
constexpr long kMaxExtent = 1000000;  // HIMETRIC, 10 m: anything larger is damaged data

}  // namespace

void OleControl::DoPropExchange(PropExchange& px) {
  ExchangeExtent(px);
  ExchangeStockProps(px);
}

void OleControl::OnResetState() { CreateDefaultFont(); }

void OleControl::ExchangeVersion(PropExchange& px, DWORD version, bool convert) {
  current_version_ = version;
  DWORD stored = version;
  px.Version(L"_Version", stored);
  if (px.IsLoading()) {
    if (!convert && stored != version) throw PersistError{STG_E_OLDFORMAT, L"Stored data has another version"};
    loaded_version_ = stored;
  }
}

void OleControl::ExchangeExtent(PropExchange& px) {
  long cx = extent_.cx;
  long cy = extent_.cy;
  px.Long(L"_ExtentX", cx);
  px.Long(L"_ExtentY", cy);
  if (px.IsLoading()) {
    if (cx < 0 || cy < 0 || cx > kMaxExtent || cy > kMaxExtent)
      throw PersistError{STG_E_DOCFILECORRUPT, L"Stored control size out of range"};
    extent_.cx = cx;
    extent_.cy = cy;
  }
}

void OleControl::ExchangeStockProps(PropExchange& px) {
  long mask = px.IsLoading() ? kStockPropFont : (font_ ? kStockPropFont : 0);
  px.Long(L"_StockProps", mask);
  if (mask & kStockPropFont) px.Font(L"Font", font_);
}

HRESULT OleControl::ReportPersistError(const PersistError& error) {
  QZ_TRACE("%#lx", static_cast<unsigned long>(error.hr));
  ComPtr<ICreateErrorInfo> create;
  if (SUCCEEDED(CreateErrorInfo(create.Put()))) {
    create->SetDescription(const_cast<LPOLESTR>(error.message.c_str()));
    create->SetSource(const_cast<LPOLESTR>(traits_.source_name));
    ComPtr<IErrorInfo> info;
    if (SUCCEEDED(create.As(IID_IErrorInfo, info))) SetErrorInfo(0, info.Get());
  }
  return error.hr;
}

HRESULT OleControl::RunExchange(PropExchange& px) {
  try {
    DoPropExchange(px);
    return S_OK;
  } catch (const PersistError& error) {
    return ReportPersistError(error);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

HRESULT OleControl::LoadWith(PropExchange& px) {
  ComPtr<IStream> snapshot;
  HRESULT hr = CreateStreamOnHGlobal(nullptr, TRUE, snapshot.Put());
  if (FAILED(hr)) return hr;
  {
    StreamExchange save(snapshot.Get(), false);
    hr = RunExchange(save);
    if (FAILED(hr)) return hr;
  }
  const DWORD previous_loaded = loaded_version_;
  hr = RunExchange(px);
  if (FAILED(hr)) {
    // Put the previous state back; the snapshot was written by this code, so it loads.
    LARGE_INTEGER zero{};
    snapshot->Seek(zero, STREAM_SEEK_SET, nullptr);
    StreamExchange restore(snapshot.Get(), true);
    try {
      DoPropExchange(restore);
    } catch (...) {
    }
    loaded_version_ = previous_loaded;
    return hr;
  }
  modified_ = false;
  initialised_ = true;
  InvalidateControl();
  return S_OK;
}

STDMETHODIMP OleControl::GetClassID(CLSID* out) {
  if (!out) return E_POINTER;
  *out = *traits_.clsid;
  return S_OK;
}

STDMETHODIMP OleControl::IsDirty() { return modified_ ? S_OK : S_FALSE; }

STDMETHODIMP OleControl::InitNew() {
  QZ_TRACE("%s", "enter");
  try {
    OnResetState();
  } catch (...) {
    return E_OUTOFMEMORY;
  }
  modified_ = false;
  initialised_ = true;
  return S_OK;
}

STDMETHODIMP OleControl::Load(IStream* stream) {
  if (!stream) return E_POINTER;
  StreamExchange px(stream, true);
  return LoadWith(px);
}

STDMETHODIMP OleControl::Save(IStream* stream, BOOL clear_dirty) {
  if (!stream) return E_POINTER;
  StreamExchange px(stream, false);
  const HRESULT hr = RunExchange(px);
  if (SUCCEEDED(hr) && clear_dirty) modified_ = false;
  return hr;
}

STDMETHODIMP OleControl::GetSizeMax(ULARGE_INTEGER* size) {
  if (!size) return E_POINTER;
  size->QuadPart = 0;
  ComPtr<IStream> scratch;
  HRESULT hr = CreateStreamOnHGlobal(nullptr, TRUE, scratch.Put());
  if (FAILED(hr)) return hr;
  StreamExchange px(scratch.Get(), false);
  hr = RunExchange(px);
  if (FAILED(hr)) return hr;
  LARGE_INTEGER zero{};
  return scratch->Seek(zero, STREAM_SEEK_CUR, size);
}

STDMETHODIMP OleControl::Load(IPropertyBag* bag, IErrorLog* log) {
  if (!bag) return E_POINTER;
  BagExchange px(bag, log, true);
  return LoadWith(px);
}

STDMETHODIMP OleControl::Save(IPropertyBag* bag, BOOL clear_dirty, BOOL) {
  if (!bag) return E_POINTER;
  BagExchange px(bag, nullptr, false);
  const HRESULT hr = RunExchange(px);
  if (SUCCEEDED(hr) && clear_dirty) modified_ = false;
  return hr;
}

STDMETHODIMP OleControl::InitNew(IStorage* storage) {
  if (!storage) return E_POINTER;
  return InitNew();
}

STDMETHODIMP OleControl::Load(IStorage* storage) {
  if (!storage) return E_POINTER;
  ComPtr<IStream> stream;
  const HRESULT hr =
      storage->OpenStream(kContentsStream, nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, stream.Put());
  if (FAILED(hr)) return hr;
  return Load(stream.Get());
}

STDMETHODIMP OleControl::Save(IStorage* storage, BOOL) {
  if (!storage) return E_POINTER;
  ComPtr<IStream> stream;
  const HRESULT hr = storage->CreateStream(kContentsStream, STGM_CREATE | STGM_WRITE | STGM_SHARE_EXCLUSIVE, 0, 0,
                                           stream.Put());
  if (FAILED(hr)) return hr;
  return Save(stream.Get(), TRUE);
}

STDMETHODIMP OleControl::SaveCompleted(IStorage*) { return S_OK; }
STDMETHODIMP OleControl::HandsOffStorage() { return S_OK; }

}  // namespace qzf
