// The print dialog as this test machine really runs it: with no printer installed the system
// reports that there is no default printer, and the control raises its number.
#include <gtest/gtest.h>
#include <windows.h>
#include <winspool.h>

#include "dialog_driver.h"
#include "qzcommdl_ids.h"
#include "test_support.h"

using namespace qztest;

namespace {

bool HasPrinters() {
  DWORD needed = 0, count = 0;
  EnumPrintersA(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 2, nullptr, 0, &needed, &count);
  return needed > 0;
}

}  // namespace

// The system tells the user that no printer is installed and returns as if cancelled.
TEST(PrintDialog, WithoutAPrinterTheDialogEndsAsACancel) {
  if (HasPrinters()) GTEST_SKIP() << "this machine has a printer";
  ComPtr<IDispatch> control = CreateControl();
  ASSERT_TRUE(control);
  Put(control.Get(), L"Copies", Var(short{3}));
  for (bool cancel_error : {false, true}) {
    Put(control.Get(), L"CancelError", Var(cancel_error));
    DialogDriver driver([](HWND box) { PostMessageA(box, WM_COMMAND, IDOK, 0); });
    const CallResult result = Call(control.Get(), L"ShowPrinter");
    driver.Finish();
    EXPECT_TRUE(driver.saw_dialog) << "no message box";
    EXPECT_EQ(result.ErrorNumber(), cancel_error ? 32755 : 0);
    EXPECT_EQ(Get(control.Get(), L"hDC").value.AsLong(), 0);
    EXPECT_EQ(Get(control.Get(), L"Copies").value.AsLong(), 3);
    EXPECT_EQ(Get(control.Get(), L"Action").value.AsLong(), 5);
  }
}

TEST(PrintDialog, ReturnDefaultWithoutAPrinterRaisesNoDefaultPrinterWithoutADialog) {
  if (HasPrinters()) GTEST_SKIP() << "this machine has a printer";
  ComPtr<IDispatch> control = CreateControl();
  ASSERT_TRUE(control);
  Put(control.Get(), L"Flags", Var(0x400L));  // return the default printer
  DialogDriver driver(PressCancel);
  const CallResult result = Call(control.Get(), L"ShowPrinter");
  driver.Finish();
  EXPECT_FALSE(driver.saw_dialog);
  EXPECT_EQ(result.ErrorNumber(), 28663);
}
