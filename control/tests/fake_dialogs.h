// The control created inside the test program, with the system dialogs replaced by fakes that
// record the request they were given and answer as the test tells them. This reaches what a
// test machine cannot produce: printers, help-engine failures and every extended error.
#pragma once
#include <gtest/gtest.h>
#include <windows.h>
#include <commdlg.h>

#include <functional>
#include <string>
#include <vector>

#include "qzcommdl_ids.h"
#include "system_calls.h"
#include "test_support.h"

namespace qztest {

// What the fakes saw and what they answer. One instance per test, reached through Fakes().
struct FakeDialogs {
  // Outcome of the next dialog calls: TRUE for OK, else FALSE with `extended_error`.
  BOOL answer = TRUE;
  DWORD extended_error = 0;
  int calls = 0;
  // Run inside the fake dialog call, to inspect or change the request as the system would.
  std::function<void(CHOOSEFONTA&)> on_font;
  std::function<void(PRINTDLGA&)> on_print;
  std::function<void(OPENFILENAMEA&)> on_file;
  std::function<void(CHOOSECOLORA&)> on_color;
  // The help engine's calls, and its answer.
  struct HelpCall {
    HWND owner;
    std::string file;
    UINT command;
    ULONG_PTR data;
    std::string key;  // the text at `data` for the keyword commands
  };
  std::vector<HelpCall> help_calls;
  BOOL help_answer = TRUE;
};

FakeDialogs& Fakes();

// Installs the fakes for the lifetime of a test and restores the system calls afterwards.
class FakeDialogTest : public testing::Test {
protected:
  void SetUp() override;
  void TearDown() override;
  // A new control of this test program, sinks connected.
  ComPtr<IDispatch> control;
  NotifySink notify;
  EventSink events{qz::kDiidEvents};
  HWND ControlWindow();
  long Long(const wchar_t* name) { return Get(control.Get(), name).value.AsLong(); }
};

}  // namespace qztest
