#include "prop_exchange.h"

#include <vector>

#include "text_convert.h"

namespace qzf {
namespace {

[[noreturn]] void Damaged(HRESULT hr, const wchar_t* what, const wchar_t* name) {
  throw PersistError{hr, std::wstring(what) + L" \"" + (name ? name : L"") + L"\""};
}

}  // namespace

void StreamExchange::Bytes(void* data, ULONG size, const wchar_t* name) {
  ULONG done = 0;
  if (loading_) {
    const HRESULT hr = stream_->Read(data, size, &done);
    if (FAILED(hr) || done != size) Damaged(STG_E_READFAULT, L"Stored data ends before property", name);
  } else {
    const HRESULT hr = stream_->Write(data, size, &done);
    if (FAILED(hr) || done != size) Damaged(FAILED(hr) ? hr : STG_E_WRITEFAULT, L"Cannot write property", name);
  }
}

void StreamExchange::Version(const wchar_t* name, DWORD& value) { Bytes(&value, sizeof value, name); }
void StreamExchange::Short(const wchar_t* name, short& value) { Bytes(&value, sizeof value, name); }
void StreamExchange::Long(const wchar_t* name, long& value) {
  LONG v = value;
  Bytes(&v, sizeof v, name);
  value = v;
}
void StreamExchange::Color(const wchar_t* name, DWORD& value) { Bytes(&value, sizeof value, name); }

void StreamExchange::Bool(const wchar_t* name, bool& value) {
  VARIANT_BOOL v = value ? VARIANT_TRUE : VARIANT_FALSE;
  Bytes(&v, sizeof v, name);
  value = v != VARIANT_FALSE;
}

void StreamExchange::String(const wchar_t* name, std::string& value) {
  DWORD size = static_cast<DWORD>(value.size());
  Bytes(&size, sizeof size, name);
  if (loading_) {
    if (size > kMaxStoredString) Damaged(STG_E_DOCFILECORRUPT, L"Stored length out of range for property", name);
    std::string text(size, '\0');
    if (size) Bytes(text.data(), size, name);
    value = std::move(text);
  } else if (size) {
    Bytes(value.data(), size, name);
  }
}

void StreamExchange::Font(const wchar_t* name, ComPtr<IFont>& font) {
  BYTE present = font ? 1 : 0;
  Bytes(&present, sizeof present, name);
  if (present > 1) Damaged(STG_E_DOCFILECORRUPT, L"Stored data damaged at property", name);
  if (!present) {
    if (loading_) font.Reset();
    return;
  }
  if (loading_) {
    ComPtr<IFont> loaded;
    const HRESULT hr = OleLoadFromStream(stream_, IID_IFont, loaded.PutVoid());
    if (FAILED(hr)) Damaged(hr, L"Cannot load font object", name);
    font = loaded;
  } else {
    ComPtr<IPersistStream> persist;
    HRESULT hr = font.As(IID_IPersistStream, persist);
    if (SUCCEEDED(hr)) hr = OleSaveToStream(persist.Get(), stream_);
    if (FAILED(hr)) Damaged(hr, L"Cannot save font object", name);
  }
}

bool BagExchange::Read(const wchar_t* name, VARTYPE type, VARIANT& out) {
  VARIANT raw;
  VariantInit(&raw);
  if (FAILED(bag_->Read(name, &raw, log_))) return false;
  const HRESULT hr = VariantChangeType(&out, &raw, 0, type);
  VariantClear(&raw);
  if (FAILED(hr)) Damaged(hr, L"Stored value has the wrong type for property", name);
  return true;
}

void BagExchange::Write(const wchar_t* name, VARIANT& value) {
  const HRESULT hr = bag_->Write(name, &value);
  VariantClear(&value);
  if (FAILED(hr)) Damaged(hr, L"Cannot write property", name);
}

void BagExchange::Version(const wchar_t* name, DWORD& value) {
  DWORD v = value;
  Color(name, v);
  value = v;
}

void BagExchange::Short(const wchar_t* name, short& value) {
  VARIANT v;
  VariantInit(&v);
  if (loading_) {
    if (Read(name, VT_I2, v)) value = v.iVal;
  } else {
    v.vt = VT_I2;
    v.iVal = value;
    Write(name, v);
  }
}

void BagExchange::Long(const wchar_t* name, long& value) {
  VARIANT v;
  VariantInit(&v);
  if (loading_) {
    if (Read(name, VT_I4, v)) value = v.lVal;
  } else {
    v.vt = VT_I4;
    v.lVal = value;
    Write(name, v);
  }
}

void BagExchange::Color(const wchar_t* name, DWORD& value) {
  long v = static_cast<long>(value);
  Long(name, v);
  value = static_cast<DWORD>(v);
}

void BagExchange::Bool(const wchar_t* name, bool& value) {
  VARIANT v;
  VariantInit(&v);
  if (loading_) {
    if (Read(name, VT_BOOL, v)) value = v.boolVal != VARIANT_FALSE;
  } else {
    v.vt = VT_BOOL;
    v.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    Write(name, v);
  }
}

void BagExchange::String(const wchar_t* name, std::string& value) {
  VARIANT v;
  VariantInit(&v);
  if (loading_) {
    if (Read(name, VT_BSTR, v)) {
      value = Narrow(v.bstrVal ? std::wstring_view(v.bstrVal, SysStringLen(v.bstrVal)) : std::wstring_view());
      VariantClear(&v);
    }
  } else {
    v.vt = VT_BSTR;
    v.bstrVal = AllocBstrFromAnsi(value);
    Write(name, v);
  }
}

void BagExchange::Font(const wchar_t* name, ComPtr<IFont>& font) {
  VARIANT v;
  VariantInit(&v);
  if (loading_) {
    if (!Read(name, VT_UNKNOWN, v)) return;
    ComPtr<IFont> stored;
    const HRESULT hr = v.punkVal ? v.punkVal->QueryInterface(IID_IFont, stored.PutVoid()) : E_POINTER;
    VariantClear(&v);
    if (FAILED(hr)) Damaged(DISP_E_TYPEMISMATCH, L"Stored value is not a font for property", name);
    ComPtr<IFont> copy;
    if (FAILED(stored->Clone(copy.Put()))) Damaged(E_OUTOFMEMORY, L"Cannot copy font of property", name);
    font = copy;
  } else if (font) {
    v.vt = VT_DISPATCH;
    if (FAILED(font->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&v.pdispVal))))
      Damaged(E_NOINTERFACE, L"Font object without IDispatch in property", name);
    Write(name, v);
  }
}

}  // namespace qzf
