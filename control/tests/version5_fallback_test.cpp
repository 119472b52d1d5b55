// The older build without its error-text library: this program runs from a folder that holds
// the control and its runtime library but no QZLOCALE.DLL.
#include <gtest/gtest.h>

#include "dialog_driver.h"
#include "test_support.h"

using namespace qztest;

namespace {

constexpr HRESULT kNotFound = static_cast<HRESULT>(0x800A0035);

}  // namespace

TEST(ErrorTextsMissing, EveryControlErrorBecomesTheNotFoundError) {
  ComPtr<IDispatch> ctrl = CreateControl();
  ASSERT_TRUE(ctrl);
  for (CallResult r : {Put(ctrl.Get(), L"Action", Var(short{7})), Get(ctrl.Get(), L"UserColors", {Var(short{16})}),
                       Put(ctrl.Get(), L"MaxFileSize", Var(short{-1}))}) {
    EXPECT_EQ(r.hr, DISP_E_EXCEPTION);
    EXPECT_EQ(r.scode, kNotFound) << std::hex << r.scode;
    EXPECT_EQ(r.description, L"QZLOCALE.DLL Not Found");
  }
  EXPECT_EQ(Get(ctrl.Get(), L"MaxFileSize").value.AsLong(), 256);
}

TEST(ErrorTextsMissing, TheDialogsOwnCancelResultIsNotReported) {
  ComPtr<IDispatch> ctrl = CreateControl();
  ASSERT_TRUE(ctrl);
  ASSERT_EQ(Put(ctrl.Get(), L"CancelError", Var(true)).hr, S_OK);
  DialogDriver driver([](HWND dialog) { PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0); });
  CallResult r = Put(ctrl.Get(), L"Action", Var(short{3}));  // the colour dialog
  driver.Finish();
  ASSERT_TRUE(driver.saw_dialog);
  EXPECT_EQ(r.scode, kNotFound) << std::hex << r.scode;
  EXPECT_EQ(r.description, L"QZLOCALE.DLL Not Found");
}

TEST(ErrorTextsMissing, FrameworkErrorsDoNotNeedTheLibrary) {
  ComPtr<IDispatch> ctrl = CreateControl();
  ASSERT_TRUE(ctrl);
  EXPECT_EQ(Put(ctrl.Get(), L"FileTitle", Var(L"x")).scode, static_cast<HRESULT>(0x800A017F));
}
