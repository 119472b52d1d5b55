// Every extended error a system dialog can report, through every dialog routine of the control:
// the number the host sees, and the cancel rules.
#include "fake_dialogs.h"

using namespace qztest;

namespace {

const wchar_t* const kDialogs[] = {L"ShowOpen", L"ShowSave", L"ShowColor", L"ShowFont", L"ShowPrinter"};

struct Row {
  DWORD code;
  long number;
};

const Row kMapped[] = {
    {0x0002, 32765}, {0x0006, 32761}, {0x0007, 32760}, {0x0008, 32759}, {0x000A, 32757}, {0x1000, 28671},
    {0x1001, 28670}, {0x1002, 28669}, {0x1003, 28668}, {0x1004, 28667}, {0x1005, 28666}, {0x1006, 28665},
    {0x1007, 28664}, {0x1008, 28663}, {0x1009, 28662}, {0x100A, 28661}, {0x100B, 28660}, {0x2001, 24574},
    {0x3001, 20478}, {0x3002, 20477}, {0x3003, 20476},
};

class DialogErrors : public FakeDialogTest {};

}  // namespace

TEST_F(DialogErrors, EveryListedCodeRaisesItsNumberFromEveryDialog) {
  Fakes().answer = FALSE;
  for (const wchar_t* dialog : kDialogs) {
    for (const Row& row : kMapped) {
      Fakes().extended_error = row.code;
      const CallResult result = Call(control.Get(), dialog);
      EXPECT_EQ(result.hr, DISP_E_EXCEPTION) << dialog << std::hex << " code " << row.code;
      EXPECT_EQ(result.ErrorNumber(), row.number) << dialog << std::hex << " code " << row.code;
    }
  }
  EXPECT_EQ(Fakes().calls, 5 * 21);
}

TEST_F(DialogErrors, UnlistedCodesReturnQuietlyEvenWithCancelError) {
  Put(control.Get(), L"CancelError", Var(true));
  Fakes().answer = FALSE;
  for (const wchar_t* dialog : kDialogs) {
    for (DWORD code : {0x1u, 0x3u, 0x4u, 0x5u, 0x9u, 0xBu, 0xFFFFu, 0x100Cu, 0x2002u}) {
      Fakes().extended_error = code;
      EXPECT_EQ(Call(control.Get(), dialog).hr, S_OK) << dialog << std::hex << " code " << code;
    }
  }
}

TEST_F(DialogErrors, CancelRaises32755OnlyWithCancelError) {
  Fakes().answer = FALSE;
  Fakes().extended_error = 0;
  for (const wchar_t* dialog : kDialogs) {
    Put(control.Get(), L"CancelError", Var(false));
    EXPECT_EQ(Call(control.Get(), dialog).hr, S_OK) << dialog;
    Put(control.Get(), L"CancelError", Var(true));
    const CallResult result = Call(control.Get(), dialog);
    EXPECT_EQ(result.ErrorNumber(), 32755) << dialog;
  }
}

TEST_F(DialogErrors, TheFocusComesBackOnEveryPath) {
  const HWND host = CreateHostWindow();
  ASSERT_TRUE(host);
  const HWND edit = CreateWindowA("EDIT", "", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, host, nullptr, nullptr, nullptr);
  ShowWindow(host, SW_SHOW);
  for (BOOL answer : {TRUE, FALSE}) {
    for (const wchar_t* dialog : kDialogs) {
      SetFocus(edit);
      ASSERT_EQ(GetFocus(), edit);
      Fakes().answer = answer;
      Fakes().extended_error = 0x1008;
      Fakes().on_font = [](CHOOSEFONTA&) { SetFocus(nullptr); };
      Fakes().on_print = [](PRINTDLGA&) { SetFocus(nullptr); };
      Fakes().on_color = [](CHOOSECOLORA&) { SetFocus(nullptr); };
      Fakes().on_file = [](OPENFILENAMEA&) { SetFocus(nullptr); };
      Call(control.Get(), dialog);
      EXPECT_EQ(GetFocus(), edit) << dialog << " answer " << answer;
    }
  }
  DestroyWindow(host);
}
