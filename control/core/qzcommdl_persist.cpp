// The control's stored properties, in the persisted order of the member table. The order is
// that of the binary property stream.
#include "qzcommdl_ctrl.h"

namespace qz {
namespace {

// Every position from 1 to QZ_PERSISTED_COUNT names exactly one row.
constexpr bool PersistedOrderIsComplete() {
  int seen[QZ_PERSISTED_COUNT + 1] = {};
#define QZ_COUNT(current, version5, name, type, field, initial, kind, position) \
  if (position < 0 || position > QZ_PERSISTED_COUNT) return false;             \
  ++seen[position];
  QZ_CONTROL_MEMBERS(QZ_COUNT, QZ_COUNT, QZ_IGNORE_ROW, QZ_IGNORE_ROW)
#undef QZ_COUNT
  for (int position = 1; position <= QZ_PERSISTED_COUNT; ++position)
    if (seen[position] != 1) return false;
  return true;
}
static_assert(PersistedOrderIsComplete());

DWORD& Stored(qzf::OleColor& color) { return color.value; }
template <class T>
T& Stored(T& value) { return value; }

}  // namespace

void CQzcommdlCtrl::DoPropExchange(qzf::PropExchange& px) {
  ExchangeVersion(px, kPersistVersion, true);
  CQzControlBase::DoPropExchange(px);
  // Data of version 1.0 carries one more value here, whichever build wrote it: a build that stamps
  // its data 1.0 writes it too, so that every reader of 1.0 data finds it.
  if ((px.IsLoading() ? LoadedVersion() : kPersistVersion) == kPersistVersion1) {
    long dropped = 0;
    px.Long(L"_Version1Value", dropped);
  }
  const short max_file_size = max_file_size_;
  for (int position = 1; position <= QZ_PERSISTED_COUNT; ++position) {
#define QZ_EXCHANGE(current, version5, name, type, field, initial, kind, stored_at) \
  if (stored_at == position) px.kind(QZ_WIDE(#name), Stored(field));
    QZ_CONTROL_MEMBERS(QZ_EXCHANGE, QZ_EXCHANGE, QZ_IGNORE_ROW, QZ_IGNORE_ROW)
#undef QZ_EXCHANGE
  }
  if (max_file_size_ < 0) {
    max_file_size_ = max_file_size;
    throw qzf::PersistError{STG_E_DOCFILECORRUPT, L"Stored MaxFileSize is negative"};
  }
  if (px.IsLoading() && AmbientUserMode()) HideAtRunTime();
}

}  // namespace qz
