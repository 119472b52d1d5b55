#include "fake_dialogs.h"

#include "module.h"
#include "qzcommdl_ctrl.h"

namespace qztest {
namespace {

BOOL WINAPI FakeOpen(LPOPENFILENAMEA request) {
  ++Fakes().calls;
  if (Fakes().on_file) Fakes().on_file(*request);
  return Fakes().answer;
}

BOOL WINAPI FakeColor(LPCHOOSECOLORA request) {
  ++Fakes().calls;
  if (Fakes().on_color) Fakes().on_color(*request);
  return Fakes().answer;
}

BOOL WINAPI FakeFont(LPCHOOSEFONTA request) {
  ++Fakes().calls;
  if (Fakes().on_font) Fakes().on_font(*request);
  return Fakes().answer;
}

BOOL WINAPI FakePrint(LPPRINTDLGA request) {
  ++Fakes().calls;
  if (Fakes().on_print) Fakes().on_print(*request);
  return Fakes().answer;
}

DWORD WINAPI FakeExtendedError() { return Fakes().answer ? 0 : Fakes().extended_error; }

BOOL WINAPI FakeHelp(HWND owner, LPCSTR file, UINT command, ULONG_PTR data) {
  FakeDialogs::HelpCall call{owner, file ? file : "<null>", command, data, {}};
  if (command == HELP_KEY || command == HELP_COMMAND || command == HELP_PARTIALKEY)
    call.key = reinterpret_cast<const char*>(data);
  Fakes().help_calls.push_back(call);
  return Fakes().help_answer;
}

}  // namespace

FakeDialogs& Fakes() {
  static FakeDialogs fakes;
  return fakes;
}

void FakeDialogTest::SetUp() {
  // The control's window class and its error-detail library are found through the module.
  qzf::Module::Attach(GetModuleHandleW(nullptr));
  Fakes() = FakeDialogs{};
  qz::SystemCalls& calls = qz::TheSystemCalls();
  calls.get_open_file_name = FakeOpen;
  calls.get_save_file_name = FakeOpen;
  calls.choose_color = FakeColor;
  calls.choose_font = FakeFont;
  calls.print_dlg = FakePrint;
  calls.extended_error = FakeExtendedError;
  calls.win_help = FakeHelp;
  ASSERT_EQ(qzf::OleControl::CreateInstance<qz::CQzcommdlCtrl>(IID_IDispatch, control.PutVoid()), S_OK);
  ASSERT_NE(Connect(control.Get(), IID_IPropertyNotifySink, &notify), 0u);
  ASSERT_NE(Connect(control.Get(), qz::kDiidEvents, &events), 0u);
}

void FakeDialogTest::TearDown() {
  control.Reset();
  qz::TheSystemCalls() = qz::SystemCalls{};
  Fakes() = FakeDialogs{};
}

HWND FakeDialogTest::ControlWindow() {
  return static_cast<HWND>(LongToHandle(Get(control.Get(), L"hWnd").value.AsLong()));
}

}  // namespace qztest
