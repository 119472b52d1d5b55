// The control through IDispatch with no container: defaults, names, argument conversion and
// bad calls.
#include <gtest/gtest.h>

#include "qzcommdl_ids.h"
#include "test_support.h"

using namespace qztest;

namespace {

class DispatchTest : public testing::Test {
protected:
  void SetUp() override { ctrl = CreateControl(); ASSERT_TRUE(ctrl); }
  ComPtr<IDispatch> ctrl;
};

struct Default {
  const wchar_t* name;
  long value;
};

}  // namespace

TEST_F(DispatchTest, NumericDefaultsOfAFreshControl) {
  const Default defaults[] = {
      {L"DialogTop", 0}, {L"DialogLeft", 0}, {L"DialogWidth", 0}, {L"DialogHeight", 0}, {L"FilterIndex", 0},
      {L"Flags", 0}, {L"Color", 0}, {L"Min", 0}, {L"Max", 0}, {L"Copies", 0}, {L"FromPage", 0}, {L"ToPage", 0},
      {L"HelpCommand", 0}, {L"HelpContext", 0}, {L"Action", 0}, {L"MaxFileSize", 256}, {L"DialogDefaultTop", 0},
      {L"DialogDefaultLeft", 0}, {L"DialogDefaultWidth", 0}, {L"DialogDefaultHeight", 0}, {L"DialogHwnd", 0},
      {L"hDC", 0},
  };
  for (const Default& d : defaults) {
    CallResult r = Get(ctrl.Get(), d.name);
    ASSERT_EQ(r.hr, S_OK) << "reading " << testing::PrintToString(std::wstring(d.name));
    EXPECT_EQ(r.value.AsLong(), d.value) << testing::PrintToString(std::wstring(d.name));
  }
}

TEST_F(DispatchTest, BooleanAndStringDefaults) {
  CallResult printer_default = Get(ctrl.Get(), L"PrinterDefault");
  EXPECT_EQ(printer_default.value.v.vt, VT_BOOL);
  EXPECT_TRUE(printer_default.value.AsBool());
  EXPECT_FALSE(Get(ctrl.Get(), L"CancelError").value.AsBool());
  for (const wchar_t* name : {L"InitDir", L"Filter", L"DefaultExt", L"DialogTitle", L"HelpFile", L"HelpKey",
                              L"FileName", L"FileTitle"}) {
    CallResult r = Get(ctrl.Get(), name);
    ASSERT_EQ(r.hr, S_OK);
    EXPECT_EQ(r.value.v.vt, VT_BSTR);
    EXPECT_EQ(r.value.AsString(), L"") << testing::PrintToString(std::wstring(name));
  }
}

TEST_F(DispatchTest, UserColorsStartAsAGreyRamp) {
  EXPECT_EQ(Get(ctrl.Get(), L"UserColors", {Var(short{0})}).value.AsLong(), 0xFFFFFF);
  EXPECT_EQ(Get(ctrl.Get(), L"UserColors", {Var(short{1})}).value.AsLong(), 0xEFEFEF);
  EXPECT_EQ(Get(ctrl.Get(), L"UserColors", {Var(short{15})}).value.AsLong(), 0x0F0F0F);
}

TEST_F(DispatchTest, PropertiesStoreExactlyWhatIsPassed) {
  EXPECT_EQ(Put(ctrl.Get(), L"DialogTop", Var(short{-5})).hr, S_OK);
  EXPECT_EQ(Get(ctrl.Get(), L"DialogTop").value.AsLong(), -5);
  EXPECT_EQ(Put(ctrl.Get(), L"Flags", Var(0x7FFFFFFFL)).hr, S_OK);
  EXPECT_EQ(Get(ctrl.Get(), L"Flags").value.AsLong(), 0x7FFFFFFF);
  EXPECT_EQ(Put(ctrl.Get(), L"Filter", Var(L"Text (*.txt)|*.txt|All|*.*")).hr, S_OK);
  EXPECT_EQ(Get(ctrl.Get(), L"Filter").value.AsString(), L"Text (*.txt)|*.txt|All|*.*");
  EXPECT_EQ(Put(ctrl.Get(), L"Color", Var(0x123456L)).hr, S_OK);
  EXPECT_EQ(Get(ctrl.Get(), L"Color").value.AsLong(), 0x123456);
  EXPECT_EQ(Put(ctrl.Get(), L"CancelError", Var(true)).hr, S_OK);
  EXPECT_TRUE(Get(ctrl.Get(), L"CancelError").value.AsBool());
  EXPECT_EQ(Put(ctrl.Get(), L"MaxFileSize", Var(short{0})).hr, S_OK);
  EXPECT_EQ(Get(ctrl.Get(), L"MaxFileSize").value.AsLong(), 0);
}

TEST_F(DispatchTest, NamesAreCaseInsensitive) {
  EXPECT_EQ(IdOf(ctrl.Get(), L"FileName"), 40);
  EXPECT_EQ(IdOf(ctrl.Get(), L"FILENAME"), 40);
  EXPECT_EQ(IdOf(ctrl.Get(), L"dialogtop"), 1);
  EXPECT_EQ(IdOf(ctrl.Get(), L"NoSuchMember"), DISPID_UNKNOWN);
}

TEST_F(DispatchTest, UnknownNamesAndMembersAreReported) {
  DISPID ids[2];
  LPOLESTR names[] = {const_cast<LPOLESTR>(L"DialogTop"), const_cast<LPOLESTR>(L"index")};
  EXPECT_EQ(ctrl->GetIDsOfNames(IID_NULL, names, 2, 0, ids), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(ids[0], 1);
  EXPECT_EQ(ids[1], DISPID_UNKNOWN);
  EXPECT_EQ(InvokeRaw(ctrl.Get(), 999, DISPATCH_PROPERTYGET, {}, false).hr, DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(ctrl->Invoke(1, IID_IDispatch, 0, DISPATCH_PROPERTYGET, nullptr, nullptr, nullptr, nullptr),
            DISP_E_UNKNOWNINTERFACE);
}

TEST_F(DispatchTest, ArgumentsAreConvertedToTheDeclaredType) {
  EXPECT_EQ(Put(ctrl.Get(), L"DialogTop", Var(L"42")).hr, S_OK);
  EXPECT_EQ(Get(ctrl.Get(), L"DialogTop").value.AsLong(), 42);
  EXPECT_EQ(Put(ctrl.Get(), L"InitDir", Var(12L)).hr, S_OK);
  EXPECT_EQ(Get(ctrl.Get(), L"InitDir").value.AsString(), L"12");
  EXPECT_EQ(Put(ctrl.Get(), L"FontSize", Var(12.5)).hr, S_OK);
  EXPECT_EQ(Get(ctrl.Get(), L"UserColors", {Var(L"15")}).value.AsLong(), 0x0F0F0F);
  // A by-reference argument, as script engines pass variables.
  long top = 7;
  Var byref;
  byref.v.vt = VT_I4 | VT_BYREF;
  byref.v.plVal = &top;
  EXPECT_EQ(Put(ctrl.Get(), L"DialogTop", byref).hr, S_OK);
  byref.v.vt = VT_EMPTY;  // not owned
  EXPECT_EQ(Get(ctrl.Get(), L"DialogTop").value.AsLong(), 7);
}

TEST_F(DispatchTest, WrongArgumentTypesAreRefusedAndNothingIsStored) {
  CallResult r = Put(ctrl.Get(), L"DialogTop", Var(L"not a number"));
  EXPECT_EQ(r.hr, DISP_E_TYPEMISMATCH);
  EXPECT_EQ(r.arg_err, 0u);
  EXPECT_EQ(Put(ctrl.Get(), L"DialogTop", Var(70000L)).hr, DISP_E_OVERFLOW);
  EXPECT_EQ(Get(ctrl.Get(), L"DialogTop").value.AsLong(), 0);
  CallResult index = Get(ctrl.Get(), L"UserColors", {Var(L"x")});
  EXPECT_EQ(index.hr, DISP_E_TYPEMISMATCH);
  EXPECT_EQ(index.arg_err, 0u);
  Var object;
  object.v.vt = VT_DISPATCH;
  object.v.pdispVal = nullptr;
  EXPECT_NE(Put(ctrl.Get(), L"Filter", object).hr, S_OK);
}

TEST_F(DispatchTest, WrongArgumentCountsAreRefused) {
  EXPECT_EQ(Get(ctrl.Get(), L"DialogTop", {Var(1L)}).hr, DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(Get(ctrl.Get(), L"UserColors").hr, DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(Get(ctrl.Get(), L"UserColors", {Var(1L), Var(2L)}).hr, DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(InvokeRaw(ctrl.Get(), qz::kShowOpen, DISPATCH_METHOD, {Var(1L)}, false).hr, DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(InvokeRaw(ctrl.Get(), qz::kDialogTop, DISPATCH_PROPERTYPUT, {}, true).hr, DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(InvokeRaw(ctrl.Get(), qz::kDialogTop, DISPATCH_PROPERTYPUT, {Var(1L), Var(2L)}, true).hr,
            DISP_E_BADPARAMCOUNT);
}

TEST_F(DispatchTest, NamedArgumentsOtherThanThePutValueAreRefused) {
  VARIANT arg;
  arg.vt = VT_I2;
  arg.iVal = 3;
  DISPID named = 5;
  DISPPARAMS params{&arg, &named, 1, 1};
  EXPECT_EQ(ctrl->Invoke(qz::kDialogTop, IID_NULL, 0, DISPATCH_PROPERTYPUT, &params, nullptr, nullptr, nullptr),
            DISP_E_NONAMEDARGS);
}

TEST_F(DispatchTest, StringsLongerThanAnyDialogBufferAreKeptWhole) {
  const std::wstring long_text(70000, L'x');
  EXPECT_EQ(Put(ctrl.Get(), L"FileName", Var(long_text)).hr, S_OK);
  EXPECT_EQ(Get(ctrl.Get(), L"FileName").value.AsString().size(), long_text.size());
  EXPECT_EQ(Put(ctrl.Get(), L"DialogTitle", Var(long_text)).hr, S_OK);
  EXPECT_EQ(Get(ctrl.Get(), L"DialogTitle").value.AsString(), long_text);
}

TEST_F(DispatchTest, TypeInformationDescribesTheDispatchInterface) {
  UINT count = 0;
  ASSERT_EQ(ctrl->GetTypeInfoCount(&count), S_OK);
  ASSERT_EQ(count, 1u);
  ComPtr<ITypeInfo> info;
  ASSERT_EQ(ctrl->GetTypeInfo(0, 0, info.Put()), S_OK);
  TYPEATTR* attr = nullptr;
  ASSERT_EQ(info->GetTypeAttr(&attr), S_OK);
  EXPECT_TRUE(IsEqualGUID(attr->guid, qz::kDiidDispatch));
  EXPECT_EQ(attr->typekind, TKIND_DISPATCH);
  info->ReleaseTypeAttr(attr);
  BSTR name = nullptr;
  UINT found = 0;
  ASSERT_EQ(info->GetNames(40, &name, 1, &found), S_OK);
  EXPECT_STREQ(name, L"Filename");
  SysFreeString(name);
}

TEST_F(DispatchTest, ClassInformationNamesTheEventInterface) {
  ComPtr<IProvideClassInfo2> info;
  ASSERT_EQ(ctrl.As(IID_IProvideClassInfo2, info), S_OK);
  GUID events{};
  ASSERT_EQ(info->GetGUID(GUIDKIND_DEFAULT_SOURCE_DISP_IID, &events), S_OK);
  EXPECT_TRUE(IsEqualGUID(events, qz::kDiidEvents));
  ComPtr<ITypeInfo> coclass;
  ASSERT_EQ(info->GetClassInfo(coclass.Put()), S_OK);
  TYPEATTR* attr = nullptr;
  ASSERT_EQ(coclass->GetTypeAttr(&attr), S_OK);
  EXPECT_TRUE(IsEqualGUID(attr->guid, qz::kClsidCtrl));
  EXPECT_EQ(attr->typekind, TKIND_COCLASS);
  coclass->ReleaseTypeAttr(attr);
}

TEST_F(DispatchTest, WithoutAContainerTheControlStillHasAHiddenWindow) {
  CallResult r = Get(ctrl.Get(), L"hWnd");
  ASSERT_EQ(r.hr, S_OK);
  const HWND hwnd = static_cast<HWND>(LongToHandle(r.value.AsLong()));
  ASSERT_TRUE(IsWindow(hwnd));
  EXPECT_FALSE(IsWindowVisible(hwnd));
  EXPECT_EQ(Get(ctrl.Get(), L"hWnd").value.AsLong(), r.value.AsLong());
}

TEST_F(DispatchTest, CallsAfterTheWindowWasDestroyedStillWork) {
  const HWND hwnd = static_cast<HWND>(LongToHandle(Get(ctrl.Get(), L"hWnd").value.AsLong()));
  ASSERT_TRUE(DestroyWindow(hwnd));
  EXPECT_EQ(Put(ctrl.Get(), L"DialogTop", Var(short{3})).hr, S_OK);
  EXPECT_EQ(Put(ctrl.Get(), L"Action", Var(short{0})).hr, S_OK);
  EXPECT_EQ(Call(ctrl.Get(), L"Refresh").hr, S_OK);
  const HWND again = static_cast<HWND>(LongToHandle(Get(ctrl.Get(), L"hWnd").value.AsLong()));
  EXPECT_TRUE(IsWindow(again));
}

TEST_F(DispatchTest, StockFontIsAnIFontDispAndTheFontViewsReadIt) {
  CallResult font = Get(ctrl.Get(), L"Font");
  ASSERT_EQ(font.hr, S_OK);
  ASSERT_EQ(font.value.v.vt, VT_DISPATCH);
  ComPtr<IFont> ifont;
  ASSERT_EQ(font.value.v.pdispVal->QueryInterface(IID_IFont, ifont.PutVoid()), S_OK);
  ASSERT_EQ(Put(ctrl.Get(), L"FontBold", Var(true)).hr, S_OK);
  ASSERT_EQ(Put(ctrl.Get(), L"FontSize", Var(12.0)).hr, S_OK);
  ASSERT_EQ(Put(ctrl.Get(), L"FontName", Var(L"Courier New")).hr, S_OK);
  EXPECT_TRUE(Get(ctrl.Get(), L"FontBold").value.AsBool());
  // The font snaps the size to whole device pixels; the usual faces may be substituted here.
  EXPECT_NEAR(Get(ctrl.Get(), L"FontSize").value.v.fltVal, 12.0f, 0.5f);
  // The returned object is the control's font: it sees every change.
  BOOL bold = FALSE;
  ifont->get_Bold(&bold);
  EXPECT_TRUE(bold);
  BSTR name = nullptr;
  ASSERT_EQ(ifont->get_Name(&name), S_OK);
  EXPECT_EQ(Get(ctrl.Get(), L"FontName").value.AsString(), std::wstring(name));
  SysFreeString(name);
  CY size{};
  ifont->get_Size(&size);
  EXPECT_NEAR(static_cast<double>(size.int64) / 10000.0, Get(ctrl.Get(), L"FontSize").value.v.fltVal, 0.001);
  EXPECT_EQ(Put(ctrl.Get(), L"FontSize", Var(-3.0)).ErrorNumber(), 380);
}

TEST_F(DispatchTest, FileNameListIsEmptyBeforeAnyFileDialog) {
  for (short i : {short{-1}, short{0}, short{1}, short{2}}) {
    CallResult r = Get(ctrl.Get(), L"FileNameList", {Var(i)});
    ASSERT_EQ(r.hr, S_OK);
    EXPECT_EQ(r.value.AsString(), L"");
  }
}
