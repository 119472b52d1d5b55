#include "data_exchange.h"

#include <cwctype>
#include <string_view>

#include "property_page.h"
#include "trace.h"

namespace qzf {
namespace {

// A variant that clears itself.
struct AutoVariant {
  VARIANT v;
  AutoVariant() { VariantInit(&v); }
  ~AutoVariant() { VariantClear(&v); }
  AutoVariant(const AutoVariant&) = delete;
  AutoVariant& operator=(const AutoVariant&) = delete;
};

// Reads property `name` of the first object; false when there is none or it cannot be read.
bool ReadFirst(DataExchange& dx, const wchar_t* name, VARTYPE type, AutoVariant& value) {
  const auto objects = dx.page.Objects();
  if (objects.empty()) return false;
  return SUCCEEDED(GetNamedProperty(objects.front().Get(), name, type, value.v));
}

void Remember(DataExchange& dx, int id, const wchar_t* property, auto field) {
  if (dx.page.ControlEdited(id)) dx.pending.push_back({id, property, field});
}

// The field as the variant written to the property.
void ToVariant(const DataExchange::PendingWrite& write, VARIANT& out) {
  if (const auto* text = std::get_if<const std::wstring*>(&write.field)) {
    out.vt = VT_BSTR;
    out.bstrVal = SysAllocStringLen((*text)->data(), static_cast<UINT>((*text)->size()));
  } else if (const auto* number = std::get_if<const long*>(&write.field)) {
    out.vt = VT_I4;
    out.lVal = **number;
  } else {
    out.vt = VT_BOOL;
    out.boolVal = *std::get<const int*>(write.field) ? VARIANT_TRUE : VARIANT_FALSE;
  }
}

bool SameValue(const VARIANT& a, const VARIANT& b) {
  if (a.vt != b.vt) return false;
  switch (a.vt) {
    case VT_BSTR: {
      const std::wstring_view x(a.bstrVal ? a.bstrVal : L"", a.bstrVal ? SysStringLen(a.bstrVal) : 0);
      const std::wstring_view y(b.bstrVal ? b.bstrVal : L"", b.bstrVal ? SysStringLen(b.bstrVal) : 0);
      return x == y;
    }
    case VT_I4: return a.lVal == b.lVal;
    case VT_BOOL: return (a.boolVal != VARIANT_FALSE) == (b.boolVal != VARIANT_FALSE);
    default: return false;
  }
}

}  // namespace

DataExchange::DataExchange(PropertyPage& p, bool s) : save(s), page(p) {}

void DataExchange::Fail(int id, const std::wstring& message) {
  const std::wstring caption = page.Caption();
  // A deactivated page has no window of its own: the message then goes to the active one.
  const HWND owner = page.Window() ? page.Window() : GetActiveWindow();
  MessageBoxW(owner, message.c_str(), caption.c_str(), MB_OK | MB_ICONEXCLAMATION);
  if (const HWND control = page.Window() ? GetDlgItem(page.Window(), id) : nullptr) {
    SetFocus(control);
    SendMessageW(control, EM_SETSEL, 0, -1);
  }
  throw DataExchangeFailure{};
}

HRESULT GetNamedProperty(IDispatch* object, const wchar_t* name, VARTYPE type, VARIANT& value) {
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(hr)) return hr;
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  AutoVariant result;
  EXCEPINFO excep{};
  hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYGET, &none, &result.v, &excep, nullptr);
  SysFreeString(excep.bstrSource);
  SysFreeString(excep.bstrDescription);
  SysFreeString(excep.bstrHelpFile);
  if (FAILED(hr)) return hr;
  VariantClear(&value);
  return VariantChangeType(&value, &result.v, 0, type);
}

HRESULT PutNamedProperty(IDispatch* object, const wchar_t* name, const VARIANT& value, std::wstring& error) {
  error.clear();
  DISPID id = DISPID_UNKNOWN;
  LPOLESTR names[] = {const_cast<LPOLESTR>(name)};
  HRESULT hr = object->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
  if (FAILED(hr)) return hr;
  VARIANT argument = value;
  DISPID put_id = DISPID_PROPERTYPUT;
  DISPPARAMS params{&argument, &put_id, 1, 1};
  EXCEPINFO excep{};
  hr = object->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_PROPERTYPUT, &params, nullptr, &excep, nullptr);
  if (hr == DISP_E_EXCEPTION && excep.pfnDeferredFillIn) excep.pfnDeferredFillIn(&excep);
  if (excep.bstrDescription) error.assign(excep.bstrDescription, SysStringLen(excep.bstrDescription));
  SysFreeString(excep.bstrSource);
  SysFreeString(excep.bstrDescription);
  SysFreeString(excep.bstrHelpFile);
  return hr;
}

bool ParseInteger(const std::wstring& text, long& value) {
  size_t i = 0;
  const size_t n = text.size();
  while (i < n && std::iswspace(text[i])) ++i;
  bool negative = false;
  if (i < n && (text[i] == L'-' || text[i] == L'+')) negative = text[i++] == L'-';
  const size_t digits_start = i;
  long long magnitude = 0;
  for (; i < n && text[i] >= L'0' && text[i] <= L'9'; ++i) {
    magnitude = magnitude * 10 + (text[i] - L'0');
    if (magnitude > 2147483648LL) return false;  // past the 32-bit range either way
  }
  if (i == digits_start) return false;
  while (i < n && std::iswspace(text[i])) ++i;
  if (i != n) return false;
  const long long result = negative ? -magnitude : magnitude;
  if (result > 2147483647LL) return false;
  value = static_cast<long>(result);
  return true;
}

// Property links.

void DDP_Text(DataExchange& dx, int id, std::wstring& field, const wchar_t* property) {
  if (dx.save) return Remember(dx, id, property, static_cast<const std::wstring*>(&field));
  dx.page.BindControl(id);
  AutoVariant value;
  if (ReadFirst(dx, property, VT_BSTR, value))
    field.assign(value.v.bstrVal ? value.v.bstrVal : L"", value.v.bstrVal ? SysStringLen(value.v.bstrVal) : 0);
}

void DDP_Text(DataExchange& dx, int id, long& field, const wchar_t* property) {
  if (dx.save) return Remember(dx, id, property, static_cast<const long*>(&field));
  dx.page.BindControl(id);
  AutoVariant value;
  if (ReadFirst(dx, property, VT_I4, value)) field = value.v.lVal;
}

void DDP_Check(DataExchange& dx, int id, int& field, const wchar_t* property) {
  if (dx.save) return Remember(dx, id, property, static_cast<const int*>(&field));
  dx.page.BindControl(id);
  AutoVariant value;
  if (ReadFirst(dx, property, VT_BOOL, value)) field = value.v.boolVal != VARIANT_FALSE ? 1 : 0;
}

// Writes each edited field to every object whose property holds a different value, so a
// field typed back to what it was changes nothing.
void DDP_PostProcessing(DataExchange& dx) {
  if (!dx.save) return;
  for (const DataExchange::PendingWrite& write : dx.pending) {
    AutoVariant wanted;
    ToVariant(write, wanted.v);
    for (const ComPtr<IDispatch>& object : dx.page.Objects()) {
      AutoVariant current;
      if (SUCCEEDED(GetNamedProperty(object.Get(), write.property, wanted.v.vt, current.v)) &&
          SameValue(current.v, wanted.v))
        continue;
      std::wstring error;
      const HRESULT hr = PutNamedProperty(object.Get(), write.property, wanted.v, error);
      QZ_TRACE("put %ls: %#lx", write.property, static_cast<unsigned long>(hr));
      if (FAILED(hr)) dx.Fail(write.control_id, error.empty() ? L"Invalid property value." : error);
    }
  }
  dx.pending.clear();
}

// Control links.

void DDX_Text(DataExchange& dx, int id, std::wstring& field) {
  dx.SetLastControl(id);
  if (dx.save) field = dx.page.ControlText(id);
  else SetDlgItemTextW(dx.page.Window(), id, field.c_str());
}

void DDX_Text(DataExchange& dx, int id, long& field) {
  dx.SetLastControl(id);
  if (!dx.save) {
    SetDlgItemTextW(dx.page.Window(), id, std::to_wstring(field).c_str());
    return;
  }
  long value = 0;
  if (!ParseInteger(dx.page.ControlText(id), value)) dx.Fail(id, L"Please enter an integer.");
  field = value;
}

void DDX_Check(DataExchange& dx, int id, int& field) {
  dx.SetLastControl(id);
  if (dx.save) field = dx.page.ControlChecked(id) ? 1 : 0;
  else CheckDlgButton(dx.page.Window(), id, field ? BST_CHECKED : BST_UNCHECKED);
}

// Validations.

void DDV_MaxChars(DataExchange& dx, const std::wstring& field, int max_chars) {
  if (!dx.save) {
    SendDlgItemMessageW(dx.page.Window(), dx.LastControl(), EM_LIMITTEXT, static_cast<WPARAM>(max_chars), 0);
    return;
  }
  if (field.size() > static_cast<size_t>(max_chars))
    dx.Fail(dx.LastControl(), L"Enter no more than " + std::to_wstring(max_chars) + L" characters.");
}

void DDV_MinMaxInt(DataExchange& dx, long field, long min, long max) {
  if (!dx.save) return;
  if (field < min || field > max)
    dx.Fail(dx.LastControl(),
            L"Please enter an integer between " + std::to_wstring(min) + L" and " + std::to_wstring(max) + L".");
}

}  // namespace qzf
