#include "dispatch_table.h"

#include <new>
#include <string>

#include "com_ptr.h"
#include "dispatch_error.h"
#include "text_convert.h"
#include "trace.h"

namespace qzf {
namespace {

// A VARIANT that clears itself.
struct ScopedVariant {
  VARIANT v;
  ScopedVariant() { VariantInit(&v); }
  ~ScopedVariant() { VariantClear(&v); }
  ScopedVariant(const ScopedVariant&) = delete;
  ScopedVariant& operator=(const ScopedVariant&) = delete;
};

HRESULT Convert(const VARIANT& source, VARTYPE type, VARIANT& out) {
  ScopedVariant plain;
  HRESULT hr = VariantCopyInd(&plain.v, const_cast<VARIANT*>(&source));
  if (FAILED(hr)) return hr;
  if (type == VT_VARIANT) return VariantCopy(&out, &plain.v);
  if (type == VT_DISPATCH && plain.v.vt == VT_UNKNOWN) {
    if (!plain.v.punkVal) return DISP_E_TYPEMISMATCH;
    IDispatch* disp = nullptr;
    hr = plain.v.punkVal->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&disp));
    if (FAILED(hr)) return DISP_E_TYPEMISMATCH;
    out.vt = VT_DISPATCH;
    out.pdispVal = disp;
    return S_OK;
  }
  hr = VariantChangeType(&out, &plain.v, 0, type);
  if (hr == E_INVALIDARG) hr = DISP_E_TYPEMISMATCH;
  return hr;
}

void SetThreadErrorInfo(const DispatchError& error, const wchar_t* source, const IID& iid) {
  ComPtr<ICreateErrorInfo> create;
  if (FAILED(CreateErrorInfo(create.Put()))) return;
  create->SetGUID(iid);
  create->SetSource(const_cast<LPOLESTR>(source));
  create->SetDescription(const_cast<LPOLESTR>(error.description.c_str()));
  create->SetHelpContext(error.help_context);
  if (!error.help_file.empty()) create->SetHelpFile(const_cast<LPOLESTR>(error.help_file.c_str()));
  ComPtr<IErrorInfo> info;
  if (SUCCEEDED(create.As(IID_IErrorInfo, info))) SetErrorInfo(0, info.Get());
}

HRESULT Report(const DispatchError& error, EXCEPINFO* excep, const wchar_t* source, const IID& iid) {
  QZ_TRACE("raising %#lx", static_cast<unsigned long>(error.scode));
  SetThreadErrorInfo(error, source, iid);
  if (!excep) return error.scode;
  *excep = EXCEPINFO{};
  excep->scode = error.scode;
  excep->bstrSource = SysAllocString(source);
  excep->bstrDescription = SysAllocStringLen(error.description.data(), static_cast<UINT>(error.description.size()));
  excep->dwHelpContext = error.help_context;
  if (!error.help_file.empty()) excep->bstrHelpFile = SysAllocString(error.help_file.c_str());
  return DISP_E_EXCEPTION;
}

HRESULT RunGet(DispatchTarget& self, const DispEntry& entry, const DISPPARAMS& params, VARIANT* result,
               UINT* arg_err) {
  const UINT wanted = entry.index_type == VT_EMPTY ? 0 : 1;
  if (params.cArgs != wanted) return DISP_E_BADPARAMCOUNT;
  if (params.cNamedArgs != 0) return DISP_E_NONAMEDARGS;
  if (!entry.get) return DISP_E_MEMBERNOTFOUND;
  ScopedVariant index;
  if (wanted) {
    const HRESULT hr = Convert(params.rgvarg[0], entry.index_type, index.v);
    if (FAILED(hr)) { if (arg_err) *arg_err = 0; return hr; }
  }
  ScopedVariant value;
  entry.get(self, wanted ? &index.v : nullptr, value.v);
  if (result) {
    *result = value.v;
    value.v.vt = VT_EMPTY;  // ownership moved to the caller
  }
  return S_OK;
}

HRESULT RunPut(DispatchTarget& self, const DispEntry& entry, const DISPPARAMS& params, UINT* arg_err) {
  const UINT wanted = entry.index_type == VT_EMPTY ? 1 : 2;
  if (params.cArgs != wanted) return DISP_E_BADPARAMCOUNT;
  if (params.cNamedArgs > 1 || (params.cNamedArgs == 1 && params.rgdispidNamedArgs[0] != DISPID_PROPERTYPUT))
    return DISP_E_NONAMEDARGS;
  if (!entry.put) return DISP_E_MEMBERNOTFOUND;
  ScopedVariant value;
  HRESULT hr = Convert(params.rgvarg[0], entry.type, value.v);
  if (FAILED(hr)) { if (arg_err) *arg_err = 0; return hr; }
  ScopedVariant index;
  if (wanted == 2) {
    hr = Convert(params.rgvarg[1], entry.index_type, index.v);
    if (FAILED(hr)) { if (arg_err) *arg_err = 1; return hr; }
  }
  entry.put(self, wanted == 2 ? &index.v : nullptr, value.v);
  return S_OK;
}

}  // namespace

const DispEntry* FindEntry(std::span<const DispEntry> table, DISPID id) {
  for (const DispEntry& entry : table)
    if (entry.id == id) return &entry;
  return nullptr;
}

const DispEntry* FindEntryByName(std::span<const DispEntry> table, const wchar_t* name) {
  if (!name) return nullptr;
  for (const DispEntry& entry : table) {
    if (lstrcmpiW(entry.name, name) == 0) return &entry;
    if (entry.alias && lstrcmpiW(entry.alias, name) == 0) return &entry;
  }
  return nullptr;
}

HRESULT DispatchGetIDsOfNames(std::span<const DispEntry> table, LPOLESTR* names, UINT count, DISPID* ids) {
  if (!names || !ids) return E_POINTER;
  if (count == 0) return E_INVALIDARG;
  HRESULT hr = S_OK;
  const DispEntry* entry = FindEntryByName(table, names[0]);
  ids[0] = entry ? entry->id : DISPID_UNKNOWN;
  if (!entry) hr = DISP_E_UNKNOWNNAME;
  // None of the members has named parameters.
  for (UINT i = 1; i < count; ++i) {
    ids[i] = DISPID_UNKNOWN;
    hr = DISP_E_UNKNOWNNAME;
  }
  return hr;
}

HRESULT DispatchInvoke(DispatchTarget& self, DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result,
                       EXCEPINFO* excep, UINT* arg_err, const wchar_t* source, const IID& iid) {
  QZ_TRACE("dispid %ld flags %#x", static_cast<long>(id), flags);
  static DISPPARAMS no_params{};
  const DISPPARAMS& p = params ? *params : no_params;
  if (p.cArgs && !p.rgvarg) return E_INVALIDARG;
  if (result) VariantInit(result);
  const DispEntry* entry = FindEntry(self.DispatchTable(), id);
  if (!entry) return DISP_E_MEMBERNOTFOUND;
  try {
    if (entry->kind == DispKind::Method) {
      if (!(flags & DISPATCH_METHOD)) return DISP_E_MEMBERNOTFOUND;
      if (p.cNamedArgs != 0) return DISP_E_NONAMEDARGS;
      if (p.cArgs != 0) return DISP_E_BADPARAMCOUNT;
      entry->call(self);
      return S_OK;
    }
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) return RunPut(self, *entry, p, arg_err);
    if (flags & (DISPATCH_PROPERTYGET | DISPATCH_METHOD)) return RunGet(self, *entry, p, result, arg_err);
    return DISP_E_MEMBERNOTFOUND;
  } catch (const DispatchError& error) {
    if (result) VariantClear(result);
    return Report(error, excep, source, iid);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

}  // namespace qzf
