// The font dialog, opened through the control and driven from a second thread like a person.
#include <gtest/gtest.h>

#include "callback_sink.h"
#include "dialog_driver.h"
#include "hosted_control.h"
#include "qzcommdl_ids.h"
#include "test_support.h"

using namespace qztest;

namespace {

constexpr int kStyleBox = 0x471;  // cmb2
constexpr int kSizeBox = 0x472;   // cmb3
constexpr int kHelpButton = 1038;

class FontDialog : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(control);
    ASSERT_NE(Connect(control.Get(), qz::kDiidEvents, &sink), 0u);
    ASSERT_NE(Connect(control.Get(), IID_IPropertyNotifySink, &notify), 0u);
  }
  long Long(const wchar_t* name) { return Get(control.Get(), name).value.AsLong(); }
  std::vector<long> Kinds(DISPID id) const {
    std::vector<long> kinds;
    for (const auto& e : sink.events)
      if (e.id == id) kinds.push_back(e.args[1].AsLong());
    return kinds;
  }
  // Inside CommonDialogOpened, DialogHwnd read back and the event's own hWnd.
  long hwnd_in_handler = -1, hwnd_argument = -2;
  CallbackSink sink{qz::kDiidEvents, [this](DISPID id, const std::vector<Var>& args) {
                      if (id != qz::kCommonDialogOpened) return;
                      hwnd_argument = args[0].AsLong();
                      hwnd_in_handler = Get(control.Get(), L"DialogHwnd").value.AsLong();
                    }};
  ComPtr<IDispatch> control = CreateControl();
  NotifySink notify;
};

// Picks an entry of a combo box as a person would with the mouse: select, then tell the dialog.
void Pick(HWND dialog, int box, const char* text) {
  const HWND combo = GetDlgItem(dialog, box);
  SendMessageA(combo, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(text));
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(box, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
}

}  // namespace

TEST_F(FontDialog, PickingFourteenPointsBoldSetsTheFontAndNotifiesInOrder) {
  Put(control.Get(), L"FontSize", Var(8.0));
  Put(control.Get(), L"Flags", Var(1L));  // screen fonts
  notify.changed.clear();
  DialogDriver driver([](HWND dialog) {
    Pick(dialog, kSizeBox, "14");
    Pick(dialog, kStyleBox, "Bold");
    PostMessageA(dialog, WM_COMMAND, IDOK, 0);
  });
  const CallResult result = Call(control.Get(), L"ShowFont");
  driver.Finish();
  ASSERT_TRUE(driver.saw_dialog);
  ASSERT_EQ(result.hr, S_OK) << result.ErrorNumber();
  const std::vector<DISPID> changed = notify.changed;
  // The font object snaps the size to its realised height, as it does for a size set directly.
  const float chosen = Get(control.Get(), L"FontSize").value.v.fltVal;
  Put(control.Get(), L"FontSize", Var(14.0));
  EXPECT_FLOAT_EQ(chosen, Get(control.Get(), L"FontSize").value.v.fltVal);
  EXPECT_TRUE(Get(control.Get(), L"FontBold").value.AsBool());
  EXPECT_EQ(changed, (std::vector<DISPID>{qz::kFontName, qz::kFontSize, qz::kFontBold, qz::kFontItalic,
                                           qz::kFontStrikeThru, qz::kFontUnderline, qz::kColor}));
  EXPECT_EQ(Long(L"Flags"), 1);  // not written back
  EXPECT_EQ(Kinds(qz::kCommonDialogOpened), std::vector<long>{4});
  EXPECT_EQ(Kinds(qz::kCommonDialogClosed), std::vector<long>{4});
  EXPECT_NE(hwnd_argument, 0);
  EXPECT_EQ(hwnd_in_handler, hwnd_argument);
  EXPECT_EQ(Long(L"DialogHwnd"), 0);
}

TEST_F(FontDialog, CancelChangesNothingAndRaises32755WithCancelError) {
  Put(control.Get(), L"FontSize", Var(10.0));
  Put(control.Get(), L"Color", Var(0x123456L));
  Put(control.Get(), L"CancelError", Var(true));
  const float size = Get(control.Get(), L"FontSize").value.v.fltVal;
  notify.changed.clear();
  DialogDriver driver([](HWND dialog) {
    Pick(dialog, kSizeBox, "20");
    PressCancel(dialog);
  });
  const CallResult result = Call(control.Get(), L"ShowFont");
  driver.Finish();
  ASSERT_TRUE(driver.saw_dialog);
  EXPECT_EQ(result.ErrorNumber(), 32755);
  EXPECT_TRUE(notify.changed.empty());
  EXPECT_FLOAT_EQ(Get(control.Get(), L"FontSize").value.v.fltVal, size);
  EXPECT_EQ(Long(L"Color"), 0x123456);
}

TEST_F(FontDialog, CancelWithoutCancelErrorReturnsQuietly) {
  DialogDriver driver(PressCancel);
  const CallResult result = Call(control.Get(), L"ShowFont");
  driver.Finish();
  ASSERT_TRUE(driver.saw_dialog);
  EXPECT_EQ(result.hr, S_OK);
}

TEST_F(FontDialog, TheHelpButtonRunsTheHelpCallWithoutHelpClick) {
  // The dialog shows its Help button only with an owner window: the control sits on a form.
  HostedControl form;
  ASSERT_TRUE(form.Open());
  IDispatch* const hosted = form.control.Get();
  EventSink events{qz::kDiidEvents};
  ASSERT_NE(Connect(hosted, qz::kDiidEvents, &events), 0u);
  Put(hosted, L"Flags", Var(4L));  // Help button
  // Closing help that is not open asks the help engine for nothing visible.
  Put(hosted, L"HelpCommand", Var(short{2}));
  Put(hosted, L"HelpFile", Var(L"C:\\no\\such.hlp"));
  bool had_help_button = false;
  DialogDriver driver([&had_help_button](HWND dialog) {
    const HWND help = GetDlgItem(dialog, kHelpButton);
    had_help_button = help && IsWindowVisible(help);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(kHelpButton, BN_CLICKED), reinterpret_cast<LPARAM>(help));
    PressCancel(dialog);
  });
  const CallResult result = Call(hosted, L"ShowFont");
  driver.Finish();
  ASSERT_TRUE(driver.saw_dialog);
  EXPECT_TRUE(had_help_button);
  EXPECT_EQ(result.hr, S_OK);
  EXPECT_EQ(Get(hosted, L"Action").value.AsLong(), 6);  // the Help button ran ShowHelp
  EXPECT_EQ(events.events.size(), 2u);                   // opened and closed, no HelpClick
  for (const auto& e : events.events) EXPECT_NE(e.id, qz::kHelpClick);
  form.Close();
}

TEST_F(FontDialog, PlacementMovesTheDialog) {
  Put(control.Get(), L"DialogLeft", Var(short{1500}));
  Put(control.Get(), L"DialogTop", Var(short{900}));
  DialogDriver driver(PressCancel);
  Call(control.Get(), L"ShowFont");
  driver.Finish();
  ASSERT_TRUE(driver.saw_dialog);
  EXPECT_EQ(driver.frame.left, 100);
  EXPECT_EQ(driver.frame.top, 60);
  EXPECT_GT(Long(L"DialogDefaultWidth"), 0);
}

TEST_F(FontDialog, MinAboveMaxWithLimitedSizesRaisesNothing) {
  Put(control.Get(), L"Min", Var(short{12}));
  Put(control.Get(), L"Max", Var(short{8}));
  Put(control.Get(), L"Flags", Var(0x2000L));
  DialogDriver driver(PressCancel);
  const CallResult result = Call(control.Get(), L"ShowFont");
  driver.Finish();
  EXPECT_EQ(result.hr, S_OK) << result.ErrorNumber();
}
