// The control's dispatch interface, from the member table: the members this build has.
#include <algorithm>
#include <array>

#include "qzcommdl_ctrl.h"

namespace qz {
namespace {

using C = CQzcommdlCtrl;

#define QZ_FIELD_ENTRY(current, version5, name, ...) \
  qzf::Property<&C::Get##name, &C::Set##name>(QZ_BUILD_DISPID(current, version5), QZ_WIDE(#name)),
#define QZ_MEMBER_ENTRY(current, version5, name, getter, setter) \
  qzf::Property<&C::getter, &C::setter>(QZ_BUILD_DISPID(current, version5), QZ_WIDE(#name)),
#define QZ_METHOD_ENTRY(current, version5, name, function) \
  qzf::Method<&C::function>(QZ_BUILD_DISPID(current, version5), QZ_WIDE(#name)),
constexpr qzf::DispEntry kEveryMember[] = {
    QZ_CONTROL_MEMBERS(QZ_FIELD_ENTRY, QZ_FIELD_ENTRY, QZ_MEMBER_ENTRY, QZ_METHOD_ENTRY)};
#undef QZ_FIELD_ENTRY
#undef QZ_MEMBER_ENTRY
#undef QZ_METHOD_ENTRY

constexpr bool Present(const qzf::DispEntry& entry) { return entry.id != 0; }

constexpr auto kTable = [] {
  std::array<qzf::DispEntry, std::ranges::count_if(kEveryMember, Present)> table{};
  std::ranges::copy_if(kEveryMember, table.begin(), Present);
  return table;
}();

}  // namespace

std::span<const qzf::DispEntry> CQzcommdlCtrl::DispatchTable() const { return kTable; }

}  // namespace qz
