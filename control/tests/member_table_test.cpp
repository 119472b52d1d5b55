// The member table against each build's type library and its live dispatch interface: every
// name and DISPID the type library describes is a row of the table for that build, every row the
// build has is in its type library, and GetIDsOfNames answers the same.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "qzcommdl_ids.h"
#include "test_support.h"

using namespace qztest;

namespace {

struct Row {
  const wchar_t* name;
  DISPID current;
  DISPID version5;
};

#define QZ_TEST_ROW(current, version5, name, ...) {QZ_WIDE(#name), current, version5},
constexpr Row kRows[] = {QZ_CONTROL_MEMBERS(QZ_TEST_ROW, QZ_TEST_ROW, QZ_TEST_ROW, QZ_TEST_ROW)};
#undef QZ_TEST_ROW

// Name to DISPID of every member of the dispatch interface the type library describes.
std::map<std::wstring, DISPID> TypeLibraryMembers(const std::wstring& file) {
  std::map<std::wstring, DISPID> members;
  ComPtr<ITypeLib> library;
  ComPtr<ITypeInfo> info;
  TYPEATTR* attr = nullptr;
  if (FAILED(LoadTypeLibEx(file.c_str(), REGKIND_NONE, library.Put())) ||
      FAILED(library->GetTypeInfoOfGuid(qz::kDiidDispatch, info.Put())) || FAILED(info->GetTypeAttr(&attr)))
    return members;
  auto add = [&](MEMBERID id) {
    BSTR name = nullptr;
    if (SUCCEEDED(info->GetDocumentation(id, &name, nullptr, nullptr, nullptr)) && name) members[name] = id;
    SysFreeString(name);
  };
  for (UINT i = 0; i < attr->cVars; ++i) {
    VARDESC* var = nullptr;
    if (FAILED(info->GetVarDesc(i, &var))) continue;
    add(var->memid);
    info->ReleaseVarDesc(var);
  }
  for (UINT i = 0; i < attr->cFuncs; ++i) {
    FUNCDESC* func = nullptr;
    if (FAILED(info->GetFuncDesc(i, &func))) continue;
    if (func->memid < 0x60000000) add(func->memid);  // not IDispatch's own methods
    info->ReleaseFuncDesc(func);
  }
  info->ReleaseTypeAttr(attr);
  return members;
}

}  // namespace

TEST(MemberTable, MatchesEachBuildsTypeLibraryAndNameLookUp) {
  for (bool version5 : {false, true}) {
    const std::wstring file = version5 ? L"Qzcommdl.ocx" : L"Qzdialog32.ocx";
    SCOPED_TRACE(testing::PrintToString(file));
    std::map<std::wstring, DISPID> described = TypeLibraryMembers(ExeDirectory() + file);
    ASSERT_FALSE(described.empty());
    ComPtr<IDispatch> control = CreateControlFrom(file);
    ASSERT_TRUE(control);
    for (const Row& row : kRows) {
      const DISPID id = version5 ? row.version5 : row.current;
      SCOPED_TRACE(testing::PrintToString(std::wstring(row.name)));
      EXPECT_EQ(IdOf(control.Get(), row.name), id ? id : DISPID_UNKNOWN);
      const auto found = described.find(row.name);
      if (id == 0) {
        EXPECT_EQ(found, described.end());
        continue;
      }
      ASSERT_NE(found, described.end());
      EXPECT_EQ(found->second, id);
      described.erase(found);
    }
    for (const auto& [name, id] : described) ADD_FAILURE() << "not in the member table: " << testing::PrintToString(name);
  }
}
