// Data exchange between a property page's fields, its dialog controls and the named properties
// of the objects the page edits. A page's exchange routine calls, per field, the property link
// (DDP_), the control link (DDX_) and the validation (DDV_), then DDP_PostProcessing.
//
// Filling (save == false): property -> field -> control; length limits also limit the edit.
// Applying (save == true): control -> field -> validation; property links only remember edited
// fields, and DDP_PostProcessing writes them once every validation has passed.
#pragma once
#include <windows.h>
#include <oaidl.h>

#include <span>
#include <string>
#include <variant>
#include <vector>

#include "com_ptr.h"

namespace qzf {

class PropertyPage;

// Thrown by a failed exchange step after the user was told and the focus put on the field;
// caught by the page's UpdateData, never crosses an interface.
struct DataExchangeFailure {};

class DataExchange {
public:
  DataExchange(PropertyPage& page, bool save);

  const bool save;
  PropertyPage& page;

  // The control the last control link handled; validation failures point the user at it.
  int LastControl() const { return last_control_; }
  void SetLastControl(int id) { last_control_ = id; }

  // Tells the user, puts the focus on control `id` (its text selected) and throws.
  [[noreturn]] void Fail(int id, const std::wstring& message);

  // A property link remembered for DDP_PostProcessing.
  struct PendingWrite {
    int control_id;
    const wchar_t* property;
    std::variant<const std::wstring*, const long*, const int*> field;  // int*: a check box
  };
  std::vector<PendingWrite> pending;

private:
  int last_control_ = 0;
};

void DDP_Text(DataExchange& dx, int id, std::wstring& field, const wchar_t* property);
void DDP_Text(DataExchange& dx, int id, long& field, const wchar_t* property);
void DDP_Check(DataExchange& dx, int id, int& field, const wchar_t* property);
void DDP_PostProcessing(DataExchange& dx);

void DDX_Text(DataExchange& dx, int id, std::wstring& field);
void DDX_Text(DataExchange& dx, int id, long& field);
void DDX_Check(DataExchange& dx, int id, int& field);

void DDV_MaxChars(DataExchange& dx, const std::wstring& field, int max_chars);
void DDV_MinMaxInt(DataExchange& dx, long field, long min, long max);

// Reads and writes one named property through IDispatch. GetProperty converts the value to `type`.
HRESULT GetNamedProperty(IDispatch* object, const wchar_t* name, VARTYPE type, VARIANT& value);
// On failure `error` holds the object's description of the failure, if it gave one.
HRESULT PutNamedProperty(IDispatch* object, const wchar_t* name, const VARIANT& value, std::wstring& error);

// Parses a whole decimal 32-bit integer, blanks around it allowed; false for anything else.
bool ParseInteger(const std::wstring& text, long& value);

}  // namespace qzf
