// The colour dialog, opened through the control and driven from a second thread like a person.
#include <gtest/gtest.h>

#include "dialog_driver.h"
#include "hosted_control.h"
#include "qzcommdl_ids.h"
#include "test_support.h"

using namespace qztest;

namespace {

constexpr int kAddCustomColor = 712;  // "Add to custom colours" of the fully open dialog

class ColorDialog : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(control);
    ASSERT_NE(Connect(control.Get(), qz::kDiidEvents, &sink), 0u);
    ASSERT_NE(Connect(control.Get(), IID_IPropertyNotifySink, &notify), 0u);
  }
  long Long(const wchar_t* name) { return Get(control.Get(), name).value.AsLong(); }
  long UserColor(short i) { return Get(control.Get(), L"UserColors", {Var(i)}).value.AsLong(); }
  std::vector<long> UserColors() {
    std::vector<long> colors;
    for (short i = 0; i < 16; ++i) colors.push_back(UserColor(i));
    return colors;
  }
  std::vector<long> Kinds(DISPID id) const {
    std::vector<long> kinds;
    for (const auto& e : sink.events)
      if (e.id == id) kinds.push_back(e.args[1].AsLong());
    return kinds;
  }

  ComPtr<IDispatch> control = CreateControl();
  EventSink sink{qz::kDiidEvents};
  NotifySink notify;
};

void AddCustomColorAndOk(HWND dialog) {
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(kAddCustomColor, BN_CLICKED),
               reinterpret_cast<LPARAM>(GetDlgItem(dialog, kAddCustomColor)));
  PostMessageA(dialog, WM_COMMAND, IDOK, 0);
}

}  // namespace

TEST_F(ColorDialog, OkReturnsTheColourNotifiesAndReportsOnceEach) {
  Put(control.Get(), L"Color", Var(0x1E140AL));
  Put(control.Get(), L"Flags", Var(1L));  // start from Color
  notify.changed.clear();
  DialogDriver driver([](HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDOK, 0); });
  const CallResult result = Call(control.Get(), L"ShowColor");
  driver.Finish();
  ASSERT_TRUE(driver.saw_dialog);
  ASSERT_EQ(result.hr, S_OK) << result.ErrorNumber();
  EXPECT_EQ(Long(L"Color"), 0x1E140A);
  EXPECT_EQ(notify.changed, std::vector<DISPID>{qz::kColor});  // even though it did not change
  EXPECT_EQ(Long(L"Flags"), 1);                                // not written back
  EXPECT_EQ(Kinds(qz::kCommonDialogOpened), std::vector<long>{3});
  EXPECT_EQ(Kinds(qz::kCommonDialogClosed), std::vector<long>{3});
  EXPECT_EQ(Long(L"DialogHwnd"), 0);
}

TEST_F(ColorDialog, AnAddedCustomColourComesBackInUserColors) {
  const std::vector<long> before = UserColors();
  Put(control.Get(), L"Color", Var(0x1E140AL));
  Put(control.Get(), L"Flags", Var(3L));  // start from Color, fully open
  DialogDriver driver(AddCustomColorAndOk);
  const CallResult result = Call(control.Get(), L"ShowColor");
  driver.Finish();
  ASSERT_TRUE(driver.saw_dialog);
  ASSERT_EQ(result.hr, S_OK) << result.ErrorNumber();
  const std::vector<long> after = UserColors();
  int changed = 0;
  for (size_t i = 0; i < after.size(); ++i) {
    if (after[i] != before[i]) {
      ++changed;
      EXPECT_EQ(after[i], 0x1E140A) << i;
    }
  }
  EXPECT_EQ(changed, 1);
}

TEST_F(ColorDialog, CancelKeepsEverythingAndRaises32755WithCancelError) {
  const std::vector<long> before = UserColors();
  Put(control.Get(), L"Color", Var(0x123456L));
  Put(control.Get(), L"Flags", Var(3L));
  Put(control.Get(), L"CancelError", Var(true));
  DialogDriver driver([](HWND dialog) {
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(kAddCustomColor, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, kAddCustomColor)));
    PressCancel(dialog);
  });
  const CallResult result = Call(control.Get(), L"ShowColor");
  driver.Finish();
  ASSERT_TRUE(driver.saw_dialog);
  EXPECT_EQ(result.ErrorNumber(), 32755);
  EXPECT_EQ(Long(L"Color"), 0x123456);
  EXPECT_EQ(UserColors(), before);
  EXPECT_EQ(Kinds(qz::kCommonDialogClosed), std::vector<long>{3});
}

TEST_F(ColorDialog, TwoControlsKeepTheirOwnUserColors) {
  ComPtr<IDispatch> other = CreateControl();
  ASSERT_TRUE(other);
  const std::vector<long> own = UserColors();
  // The other control's dialog leaves its colours in the process-wide table ...
  Put(other.Get(), L"UserColors", Var(0x00FF00L), {Var(short{0})});
  {
    DialogDriver driver([](HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDOK, 0); });
    Call(other.Get(), L"ShowColor");
    driver.Finish();
    ASSERT_TRUE(driver.saw_dialog);
  }
  // ... but this control's dialog starts from, and returns, this control's colours.
  DialogDriver driver([](HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDOK, 0); });
  Call(control.Get(), L"ShowColor");
  driver.Finish();
  ASSERT_TRUE(driver.saw_dialog);
  EXPECT_EQ(UserColors(), own);
  EXPECT_EQ(Get(other.Get(), L"UserColors", {Var(short{0})}).value.AsLong(), 0x00FF00);
}

TEST(ColorDialogHelp, TheHelpButtonRunsTheHelpCall) {
  // The dialog shows its Help button only with an owner window: the control sits on a form.
  HostedControl form;
  ASSERT_TRUE(form.Open());
  IDispatch* const hosted = form.control.Get();
  Put(hosted, L"Flags", Var(8L));  // Help button
  Put(hosted, L"HelpCommand", Var(short{2}));
  Put(hosted, L"HelpFile", Var(L"C:\\no\\such.hlp"));
  DialogDriver driver([](HWND dialog) {
    const HWND help = GetDlgItem(dialog, 1038);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(1038, BN_CLICKED), reinterpret_cast<LPARAM>(help));
    PressCancel(dialog);
  });
  const CallResult result = Call(hosted, L"ShowColor");
  driver.Finish();
  ASSERT_TRUE(driver.saw_dialog);
  EXPECT_EQ(result.hr, S_OK);
  EXPECT_EQ(Get(hosted, L"Action").value.AsLong(), 6);
  form.Close();
}
