// Raising control errors without the error-detail library: this program runs from folders
// that hold the control but no VELDRAN.DLL, or one that lacks its entry point.
#include <gtest/gtest.h>

#include "test_support.h"

using namespace qztest;

TEST(ErrorDetailFallback, ControlErrorsBecomeTheLibraryNotAvailableError) {
  ComPtr<IDispatch> ctrl = CreateControl();
  ASSERT_TRUE(ctrl);
  for (CallResult r : {Put(ctrl.Get(), L"Action", Var(short{7})), Get(ctrl.Get(), L"UserColors", {Var(short{16})}),
                       Put(ctrl.Get(), L"MaxFileSize", Var(short{-1}))}) {
    EXPECT_EQ(r.hr, DISP_E_EXCEPTION);
    EXPECT_EQ(r.scode, static_cast<HRESULT>(0x800A0035)) << std::hex << r.scode;
    EXPECT_EQ(r.description, L"'VELDRAN.DLL' Not Available.\nUnable to provide error detail.");
  }
  // The refused values are still not stored.
  EXPECT_EQ(Get(ctrl.Get(), L"MaxFileSize").value.AsLong(), 256);
  EXPECT_EQ(Get(ctrl.Get(), L"Action").value.AsLong(), 0);
}

TEST(ErrorDetailFallback, FrameworkErrorsDoNotNeedTheLibrary) {
  ComPtr<IDispatch> ctrl = CreateControl();
  ASSERT_TRUE(ctrl);
  CallResult r = Put(ctrl.Get(), L"FileTitle", Var(L"x"));
  EXPECT_EQ(r.scode, static_cast<HRESULT>(0x800A017F));
}
