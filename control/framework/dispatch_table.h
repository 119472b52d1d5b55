// Table-driven IDispatch: one row per DISPID with its name, kind, automation type and handlers.
// The dispatcher converts arguments to the row's types before a handler runs, so handlers see
// VARIANTs of exactly the declared type.
#pragma once
#include <oaidl.h>
#include <span>

namespace qzf {

class DispatchTarget;

enum class DispKind { Property, Method };

using DispGet = void (*)(DispatchTarget& self, const VARIANT* index, VARIANT& result);
using DispPut = void (*)(DispatchTarget& self, const VARIANT* index, const VARIANT& value);
using DispCall = void (*)(DispatchTarget& self);

struct DispEntry {
  DISPID id;
  const wchar_t* name;
  const wchar_t* alias;   // a second accepted name, or nullptr
  DispKind kind;
  VARTYPE type;           // property type (VT_EMPTY for methods)
  VARTYPE index_type;     // VT_EMPTY when the property takes no index
  DispGet get;            // nullptr: the property cannot be read
  DispPut put;            // nullptr: the property cannot be written
  DispCall call;          // methods only
};

// Base of every object whose IDispatch runs from a table.
class DispatchTarget {
public:
  virtual ~DispatchTarget() = default;
  virtual std::span<const DispEntry> DispatchTable() const = 0;
};

const DispEntry* FindEntry(std::span<const DispEntry> table, DISPID id);
const DispEntry* FindEntryByName(std::span<const DispEntry> table, const wchar_t* name);

HRESULT DispatchGetIDsOfNames(std::span<const DispEntry> table, LPOLESTR* names, UINT count, DISPID* ids);

// Runs the row for `id`; a DispatchError from the handler becomes DISP_E_EXCEPTION with `excep`
// filled (source: `source`) and the thread's error info set.
HRESULT DispatchInvoke(DispatchTarget& self, DISPID id, WORD flags, DISPPARAMS* params, VARIANT* result,
                       EXCEPINFO* excep, UINT* arg_err, const wchar_t* source, const IID& iid);

}  // namespace qzf
