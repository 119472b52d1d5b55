// AddControl and RemoveControl: a window of the host taken into an open dialog from the
// control's own event and handed back before the dialog goes.
#include <gtest/gtest.h>

#include "callback_sink.h"
#include "dialog_driver.h"
#include "hosted_control.h"
#include "qzcommdl_ids.h"
#include "test_support.h"

using namespace qztest;

namespace {

class AddControl : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(hosted.Open());
    host = hosted.host;
    control = hosted.control;
    button = CreateWindowA("BUTTON", "Extra", WS_CHILD | WS_VISIBLE, 5, 5, 60, 20, host, nullptr, nullptr, nullptr);
    ASSERT_TRUE(button);
  }
  void TearDown() override {
    control.Reset();
    hosted.Close();
  }
  long Handle(HWND window) { return HandleToLong(window); }

  CallbackSink sink{qz::kDiidEvents};  // outlives the control's connection to it
  HostedControl hosted;
  HWND host = nullptr, button = nullptr;
  ComPtr<IDispatch> control;
};

}  // namespace

TEST_F(AddControl, AHostWindowJoinsTheOpenDialogAndComesBack) {
  HWND parent_while_open = nullptr;
  CallResult add_result, remove_result;
  sink.SetHandler([&](DISPID id, const std::vector<Var>&) {
    if (id == qz::kCommonDialogOpened) add_result = Put(control.Get(), L"AddControl", Var(Handle(button)));
    if (id == qz::kCommonDialogClosed) {
      parent_while_open = GetParent(button);
      remove_result = Put(control.Get(), L"RemoveControl", Var(Handle(button)));
    }
  });
  ASSERT_NE(Connect(control.Get(), qz::kDiidEvents, &sink), 0u);
  HWND seen_parent = nullptr;
  DialogDriver driver([&](HWND dialog) {
    seen_parent = GetParent(button) == dialog ? dialog : nullptr;
    PressCancel(dialog);
  });
  const CallResult result = Call(control.Get(), L"ShowColor");
  driver.Finish();
  ASSERT_TRUE(driver.saw_dialog);
  ASSERT_EQ(result.hr, S_OK);
  EXPECT_EQ(add_result.hr, S_OK);
  EXPECT_EQ(remove_result.hr, S_OK);
  EXPECT_NE(seen_parent, nullptr) << "the button was not inside the visible dialog";
  EXPECT_NE(parent_while_open, host);
  ASSERT_TRUE(IsWindow(button)) << "the button went down with the dialog";
  EXPECT_EQ(GetParent(button), host);
}

TEST_F(AddControl, NotAWindowOrNoDialogIsIgnored) {
  EXPECT_EQ(Put(control.Get(), L"AddControl", Var(0x7FFF0001L)).hr, S_OK);
  EXPECT_EQ(Put(control.Get(), L"RemoveControl", Var(0x7FFF0001L)).hr, S_OK);
  EXPECT_EQ(Put(control.Get(), L"AddControl", Var(0L)).hr, S_OK);
  // The last dialog of the process is gone: the button stays where it is.
  EXPECT_EQ(Put(control.Get(), L"AddControl", Var(Handle(button))).hr, S_OK);
  EXPECT_EQ(GetParent(button), host);
}
