// Design-time and run-time rules, control errors, change notifications, the modified flag,
// the Action rules and the events.
#include <gtest/gtest.h>

#include <objsafe.h>

#include "dialog_driver.h"
#include "qzcommdl_ids.h"
#include "test_support.h"

using namespace qztest;

namespace {

constexpr HRESULT kGetNotSupported = static_cast<HRESULT>(0x800A018A);
constexpr HRESULT kSetNotSupported = static_cast<HRESULT>(0x800A017F);

class SitedControl : public testing::Test {
protected:
  void Site(TestSite::Ambient ambient) {
    site.SetAmbient(ambient);
    ComPtr<IOleObject> object;
    ASSERT_EQ(ctrl.As(IID_IOleObject, object), S_OK);
    ASSERT_EQ(object->SetClientSite(&site), S_OK);
  }
  void SetUp() override { ctrl = CreateControl(); ASSERT_TRUE(ctrl); }
  void TearDown() override {
    ComPtr<IOleObject> object;
    if (SUCCEEDED(ctrl.As(IID_IOleObject, object))) object->SetClientSite(nullptr);
  }
  bool IsDirty() {
    ComPtr<IPersistStreamInit> persist;
    ctrl.As(IID_IPersistStreamInit, persist);
    return persist->IsDirty() == S_OK;
  }
  // Declared before the control, so they outlive its references to them.
  TestSite site{TestSite::Ambient::RunMode};
  NotifySink sink;
  EventSink events{qz::kDiidEvents};
  ComPtr<IDispatch> ctrl;
};

void ExpectRefused(const CallResult& r, HRESULT scode, const char* what) {
  EXPECT_EQ(r.hr, DISP_E_EXCEPTION) << what;
  EXPECT_EQ(r.scode, scode) << what << " scode " << std::hex << r.scode;
}

}  // namespace

TEST_F(SitedControl, DesignModeRefusesRunTimeOnlyReads) {
  Site(TestSite::Ambient::DesignMode);
  for (const wchar_t* name : {L"Action", L"DialogHwnd", L"hDC", L"DialogDefaultTop", L"DialogDefaultLeft",
                              L"DialogDefaultWidth", L"DialogDefaultHeight", L"FontBold", L"FontItalic",
                              L"FontUnderline", L"FontStrikeThru", L"FontName", L"FontSize"}) {
    ExpectRefused(Get(ctrl.Get(), name), kGetNotSupported, testing::PrintToString(std::wstring(name)).c_str());
  }
  ExpectRefused(Get(ctrl.Get(), L"UserColors", {Var(short{0})}), kGetNotSupported, "UserColors");
  EXPECT_GT(site.ambient_queries, 0);
}

TEST_F(SitedControl, DesignModeRefusesActionShowMethodsAndUserColorsWrites) {
  Site(TestSite::Ambient::DesignMode);
  ExpectRefused(Put(ctrl.Get(), L"Action", Var(short{0})), kSetNotSupported, "Action");
  for (const wchar_t* method : {L"ShowOpen", L"ShowSave", L"ShowColor", L"ShowFont", L"ShowPrinter", L"ShowHelp"})
    ExpectRefused(Call(ctrl.Get(), method), kSetNotSupported, "Show method");
  ExpectRefused(Put(ctrl.Get(), L"UserColors", Var(1L), {Var(short{0})}), kSetNotSupported, "UserColors");
  ExpectRefused(Put(ctrl.Get(), L"AddControl", Var(0L)), kSetNotSupported, "AddControl");
  ExpectRefused(Put(ctrl.Get(), L"RemoveControl", Var(0L)), kSetNotSupported, "RemoveControl");
  // Plain properties stay writable at design time.
  EXPECT_EQ(Put(ctrl.Get(), L"DialogTitle", Var(L"Pick")).hr, S_OK);
  EXPECT_EQ(Get(ctrl.Get(), L"DialogTitle").value.AsString(), L"Pick");
  EXPECT_EQ(Put(ctrl.Get(), L"FontBold", Var(true)).hr, S_OK);
}

TEST_F(SitedControl, RunModeAllowsWhatDesignModeRefuses) {
  Site(TestSite::Ambient::RunMode);
  EXPECT_EQ(Get(ctrl.Get(), L"Action").hr, S_OK);
  EXPECT_EQ(Get(ctrl.Get(), L"DialogDefaultTop").hr, S_OK);
  EXPECT_EQ(Get(ctrl.Get(), L"FontName").hr, S_OK);
  EXPECT_EQ(Put(ctrl.Get(), L"Action", Var(short{0})).hr, S_OK);
  EXPECT_EQ(Put(ctrl.Get(), L"UserColors", Var(0x112233L), {Var(short{3})}).hr, S_OK);
  EXPECT_EQ(Get(ctrl.Get(), L"UserColors", {Var(short{3})}).value.AsLong(), 0x112233);
}

TEST_F(SitedControl, ASiteWithoutAmbientPropertiesMeansRunMode) {
  Site(TestSite::Ambient::None);
  EXPECT_EQ(Get(ctrl.Get(), L"Action").hr, S_OK);
  EXPECT_EQ(Put(ctrl.Get(), L"Action", Var(short{0})).hr, S_OK);
}

TEST_F(SitedControl, ReadOnlyAndWriteOnlyMembersRefuseInBothModes) {
  for (auto mode : {TestSite::Ambient::RunMode, TestSite::Ambient::DesignMode}) {
    Site(mode);
    for (const wchar_t* name : {L"FileTitle", L"DialogHwnd", L"hDC", L"hWnd", L"DialogDefaultTop",
                                L"DialogDefaultLeft", L"DialogDefaultWidth", L"DialogDefaultHeight"})
      ExpectRefused(Put(ctrl.Get(), name, Var(1L)), kSetNotSupported, "read-only");
    ExpectRefused(Get(ctrl.Get(), L"AddControl"), kGetNotSupported, "AddControl");
    ExpectRefused(Get(ctrl.Get(), L"RemoveControl"), kGetNotSupported, "RemoveControl");
  }
}

TEST_F(SitedControl, ActionOutsideZeroToSixRaises380AndKeepsTheOldValue) {
  ASSERT_EQ(Put(ctrl.Get(), L"Action", Var(short{0})).hr, S_OK);
  for (short bad : {short{7}, short{-1}, short{32767}}) {
    CallResult r = Put(ctrl.Get(), L"Action", Var(bad));
    ExpectRefused(r, static_cast<HRESULT>(0x800A017C), "Action");
    EXPECT_EQ(r.ErrorNumber(), 380);
    EXPECT_EQ(r.description, L"Invalid property value");
    EXPECT_EQ(Get(ctrl.Get(), L"Action").value.AsLong(), 0);
  }
}

TEST_F(SitedControl, ActionStoresTheValuesThatExist) {
  // The help call of 6 only closes help that is not open: nothing to see or answer.
  Put(ctrl.Get(), L"HelpCommand", Var(short{2}));
  for (short value = 0; value <= 6; ++value) {
    // 1 to 5 open a dialog (5, with no printer installed, the system's notice), which a second
    // thread cancels.
    DialogDriver driver(PressCancel);
    ASSERT_EQ(Put(ctrl.Get(), L"Action", Var(value)).hr, S_OK) << value;
    driver.Finish();
    EXPECT_EQ(driver.saw_dialog, value >= 1 && value <= 5) << value;
    EXPECT_EQ(Get(ctrl.Get(), L"Action").value.AsLong(), value);
  }
  DialogDriver driver(PressCancel);
  ASSERT_EQ(Call(ctrl.Get(), L"ShowColor").hr, S_OK);
  driver.Finish();
  EXPECT_TRUE(driver.saw_dialog);
  EXPECT_EQ(Get(ctrl.Get(), L"Action").value.AsLong(), 3);
  DialogDriver font_driver(PressCancel);
  ASSERT_EQ(Call(ctrl.Get(), L"ShowFont").hr, S_OK);
  font_driver.Finish();
  EXPECT_TRUE(font_driver.saw_dialog);
  EXPECT_EQ(Get(ctrl.Get(), L"Action").value.AsLong(), 4);
}

TEST_F(SitedControl, UserColorsIndexOutsideTheTableRaises381) {
  for (short bad : {short{16}, short{-1}}) {
    CallResult read = Get(ctrl.Get(), L"UserColors", {Var(bad)});
    EXPECT_EQ(read.ErrorNumber(), 381);
    EXPECT_EQ(read.description, L"Invalid property array index");
    CallResult write = Put(ctrl.Get(), L"UserColors", Var(5L), {Var(bad)});
    EXPECT_EQ(write.ErrorNumber(), 381);
  }
  EXPECT_EQ(Get(ctrl.Get(), L"UserColors", {Var(short{15})}).value.AsLong(), 0x0F0F0F);
}

TEST_F(SitedControl, NegativeMaxFileSizeRaises380AndStoresNothing) {
  CallResult r = Put(ctrl.Get(), L"MaxFileSize", Var(short{-1}));
  EXPECT_EQ(r.ErrorNumber(), 380);
  EXPECT_EQ(Get(ctrl.Get(), L"MaxFileSize").value.AsLong(), 256);
}

TEST_F(SitedControl, PlainPropertiesNotifyAndMarkModifiedEvenWhenUnchanged) {
  ASSERT_NE(Connect(ctrl.Get(), IID_IPropertyNotifySink, &sink), 0u);
  EXPECT_FALSE(IsDirty());
  ASSERT_EQ(Put(ctrl.Get(), L"DialogTop", Var(short{0})).hr, S_OK);
  ASSERT_EQ(sink.changed.size(), 1u);
  EXPECT_EQ(sink.changed[0], 1);
  EXPECT_TRUE(IsDirty());
  const struct { const wchar_t* name; Var value; DISPID id; } writes[] = {
      {L"InitDir", Var(L"C:\\"), 5}, {L"Flags", Var(1L), 10}, {L"PrinterDefault", Var(false), 18},
      {L"HelpKey", Var(L"k"), 22}, {L"Filename", Var(L"a.txt"), 40}, {L"FontItalic", Var(true), 35},
  };
  for (const auto& w : writes) {
    sink.changed.clear();
    ASSERT_EQ(Put(ctrl.Get(), w.name, w.value).hr, S_OK);
    ASSERT_EQ(sink.changed.size(), 1u);
    EXPECT_EQ(sink.changed[0], w.id);
  }
}

TEST_F(SitedControl, SomeWritesStoreWithoutNotification) {
  ASSERT_NE(Connect(ctrl.Get(), IID_IPropertyNotifySink, &sink), 0u);
  ASSERT_EQ(Put(ctrl.Get(), L"MaxFileSize", Var(short{100})).hr, S_OK);
  ASSERT_EQ(Put(ctrl.Get(), L"UserColors", Var(1L), {Var(short{0})}).hr, S_OK);
  EXPECT_TRUE(sink.changed.empty());
  EXPECT_FALSE(IsDirty());
  // FileNameList accepts and drops a write, only marking the control modified.
  ASSERT_EQ(Put(ctrl.Get(), L"FileNameList", Var(L"x"), {Var(short{1})}).hr, S_OK);
  EXPECT_TRUE(sink.changed.empty());
  EXPECT_TRUE(IsDirty());
  EXPECT_EQ(Get(ctrl.Get(), L"FileNameList", {Var(short{1})}).value.AsString(), L"");
}

TEST_F(SitedControl, RefusedWritesChangeNothing) {
  ASSERT_NE(Connect(ctrl.Get(), IID_IPropertyNotifySink, &sink), 0u);
  Put(ctrl.Get(), L"Action", Var(short{9}));
  Put(ctrl.Get(), L"FileTitle", Var(L"x"));
  Put(ctrl.Get(), L"UserColors", Var(1L), {Var(short{20})});
  EXPECT_TRUE(sink.changed.empty());
  EXPECT_FALSE(IsDirty());
  EXPECT_EQ(Get(ctrl.Get(), L"FileTitle").value.AsString(), L"");
}

TEST_F(SitedControl, HookMessagesFireTheEventsWithTheirArguments) {
  ASSERT_NE(Connect(ctrl.Get(), qz::kDiidEvents, &events), 0u);
  const HWND hwnd = static_cast<HWND>(LongToHandle(Get(ctrl.Get(), L"hWnd").value.AsLong()));
  ASSERT_TRUE(IsWindow(hwnd));
  const HWND fake_dialog = reinterpret_cast<HWND>(static_cast<INT_PTR>(0x1234));

  SendMessageW(hwnd, qz::UM_DIALOG_OPENED, reinterpret_cast<WPARAM>(fake_dialog), qz::kSave);
  EXPECT_EQ(Get(ctrl.Get(), L"DialogHwnd").value.AsLong(), 0x1234);
  SendMessageW(hwnd, qz::UM_DIALOG_CLOSED, reinterpret_cast<WPARAM>(fake_dialog), qz::kSave);
  EXPECT_EQ(Get(ctrl.Get(), L"DialogHwnd").value.AsLong(), 0);
  SendMessageW(hwnd, qz::UM_HELP_CLICKED, 0, 0);

  ASSERT_EQ(events.events.size(), 3u);
  EXPECT_EQ(events.events[0].id, qz::kCommonDialogOpened);
  ASSERT_EQ(events.events[0].args.size(), 2u);
  EXPECT_EQ(events.events[0].args[0].AsLong(), 0x1234);
  EXPECT_EQ(events.events[0].args[1].AsLong(), qz::kSave);
  EXPECT_EQ(events.events[1].id, qz::kCommonDialogClosed);
  EXPECT_EQ(events.events[1].args[1].AsLong(), qz::kSave);
  EXPECT_EQ(events.events[2].id, qz::kHelpClick);
  EXPECT_TRUE(events.events[2].args.empty());
}

TEST_F(SitedControl, FileNameChangeMessageUpdatesFileNameThenFiresTheEvent) {
  ASSERT_NE(Connect(ctrl.Get(), qz::kDiidEvents, &events), 0u);
  ASSERT_NE(Connect(ctrl.Get(), IID_IPropertyNotifySink, &sink), 0u);
  ASSERT_EQ(Put(ctrl.Get(), L"FileName", Var(L"before.txt")).hr, S_OK);
  sink.changed.clear();
  const HWND hwnd = static_cast<HWND>(LongToHandle(Get(ctrl.Get(), L"hWnd").value.AsLong()));
  // No dialog has passed a path yet, so the shared path buffer is empty.
  SendMessageW(hwnd, qz::UM_FILENAME_CHANGED, 0, 0);
  EXPECT_EQ(Get(ctrl.Get(), L"FileName").value.AsString(), L"");
  ASSERT_EQ(sink.changed.size(), 1u);
  EXPECT_EQ(sink.changed[0], qz::kFilename);
  ASSERT_EQ(events.events.size(), 1u);
  EXPECT_EQ(events.events[0].id, qz::kFilenameChange);
}

TEST_F(SitedControl, HelpButtonMessageRunsShowHelpAndSwallowsItsErrors) {
  Site(TestSite::Ambient::RunMode);
  Put(ctrl.Get(), L"HelpCommand", Var(short{2}));  // closes help that is not open: nothing visible
  const HWND hwnd = static_cast<HWND>(LongToHandle(Get(ctrl.Get(), L"hWnd").value.AsLong()));
  EXPECT_EQ(SendMessageW(hwnd, qz::UM_SHOW_HELP, 0, 0), 0);
  EXPECT_EQ(Get(ctrl.Get(), L"Action").value.AsLong(), 6);
  ASSERT_EQ(Put(ctrl.Get(), L"Action", Var(short{0})).hr, S_OK);
  // At design time ShowHelp is refused; the refusal stays inside the handler.
  site.SetAmbient(TestSite::Ambient::DesignMode);
  EXPECT_EQ(SendMessageW(hwnd, qz::UM_SHOW_HELP, 0, 0), 0);
  site.SetAmbient(TestSite::Ambient::RunMode);
  EXPECT_EQ(Get(ctrl.Get(), L"Action").value.AsLong(), 0);
}

TEST_F(SitedControl, FrozenEventsAreNotFired) {
  ASSERT_NE(Connect(ctrl.Get(), qz::kDiidEvents, &events), 0u);
  ComPtr<IOleControl> control;
  ASSERT_EQ(ctrl.As(IID_IOleControl, control), S_OK);
  const HWND hwnd = static_cast<HWND>(LongToHandle(Get(ctrl.Get(), L"hWnd").value.AsLong()));
  control->FreezeEvents(TRUE);
  SendMessageW(hwnd, qz::UM_HELP_CLICKED, 0, 0);
  control->FreezeEvents(FALSE);
  SendMessageW(hwnd, qz::UM_HELP_CLICKED, 0, 0);
  EXPECT_EQ(events.events.size(), 1u);
}

TEST_F(SitedControl, UnadvisedSinksHearNothing) {
  ComPtr<IConnectionPointContainer> container;
  ASSERT_EQ(ctrl.As(IID_IConnectionPointContainer, container), S_OK);
  ComPtr<IConnectionPoint> point;
  ASSERT_EQ(container->FindConnectionPoint(qz::kDiidEvents, point.Put()), S_OK);
  DWORD cookie = 0;
  ASSERT_EQ(point->Advise(&events, &cookie), S_OK);
  ASSERT_EQ(point->Unadvise(cookie), S_OK);
  EXPECT_EQ(point->Unadvise(cookie), CONNECT_E_NOCONNECTION);
  SendMessageW(static_cast<HWND>(LongToHandle(Get(ctrl.Get(), L"hWnd").value.AsLong())), qz::UM_HELP_CLICKED, 0, 0);
  EXPECT_TRUE(events.events.empty());
  ComPtr<IConnectionPoint> none;
  EXPECT_EQ(container->FindConnectionPoint(IID_IDispatch, none.Put()), CONNECT_E_NOCONNECTION);
}

TEST_F(SitedControl, ObjectSafetyAcceptsEveryOption) {
  ComPtr<IObjectSafety> safety;
  ASSERT_EQ(ctrl.As(IID_IObjectSafety, safety), S_OK);
  DWORD supported = 0, enabled = 0;
  EXPECT_EQ(safety->GetInterfaceSafetyOptions(IID_IDispatch, &supported, &enabled), S_OK);
  EXPECT_EQ(safety->SetInterfaceSafetyOptions(IID_IDispatch, INTERFACESAFE_FOR_UNTRUSTED_CALLER, 0), S_OK);
  EXPECT_EQ(safety->GetInterfaceSafetyOptions(IID_IDispatch, nullptr, &enabled), E_POINTER);
}

TEST_F(SitedControl, ConnectionPointsAndConnectionsCanBeEnumerated) {
  ComPtr<IConnectionPointContainer> container;
  ASSERT_EQ(ctrl.As(IID_IConnectionPointContainer, container), S_OK);
  ComPtr<IEnumConnectionPoints> points;
  ASSERT_EQ(container->EnumConnectionPoints(points.Put()), S_OK);
  IConnectionPoint* found[3] = {};
  ULONG fetched = 0;
  EXPECT_EQ(points->Next(3, found, &fetched), S_FALSE);
  ASSERT_EQ(fetched, 2u);
  IID first{}, second{};
  found[0]->GetConnectionInterface(&first);
  found[1]->GetConnectionInterface(&second);
  EXPECT_TRUE(IsEqualIID(first, qz::kDiidEvents));
  EXPECT_TRUE(IsEqualIID(second, IID_IPropertyNotifySink));
  found[0]->Release();
  found[1]->Release();
  ASSERT_EQ(points->Reset(), S_OK);
  EXPECT_EQ(points->Skip(1), S_OK);
  EXPECT_EQ(points->Skip(5), S_FALSE);

  const DWORD cookie = Connect(ctrl.Get(), qz::kDiidEvents, &events);
  ASSERT_NE(cookie, 0u);
  ComPtr<IConnectionPoint> point;
  ASSERT_EQ(container->FindConnectionPoint(qz::kDiidEvents, point.Put()), S_OK);
  ComPtr<IEnumConnections> connections;
  ASSERT_EQ(point->EnumConnections(connections.Put()), S_OK);
  CONNECTDATA data{};
  ASSERT_EQ(connections->Next(1, &data, nullptr), S_OK);
  EXPECT_EQ(data.dwCookie, cookie);
  ASSERT_TRUE(data.pUnk);
  data.pUnk->Release();
  EXPECT_EQ(connections->Next(1, &data, nullptr), S_FALSE);
  ComPtr<IEnumConnections> clone;
  ASSERT_EQ(connections->Clone(clone.Put()), S_OK);
  EXPECT_EQ(clone->Next(1, &data, nullptr), S_FALSE);  // the clone starts where the original stands
}
