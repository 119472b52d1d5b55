// The font, print and print-setup hooks, run by a real dialog window of the test, reporting to
// a recorder window that stands in for the control.
#include <gtest/gtest.h>
#include <windows.h>
#include <commdlg.h>

#include <vector>

#include "dialog_hooks.h"
#include "hook_registry.h"
#include "module_state.h"
#include "qzcommdl_ids.h"

namespace {

using HookProc = UINT_PTR(CALLBACK*)(HWND, UINT, WPARAM, LPARAM);

struct Message {
  UINT id;
  WPARAM wparam;
  LPARAM lparam;
};

std::vector<Message> g_received;
RECT g_wanted{};         // what the recorder answers to the placement question
RECT g_default_seen{};   // the default placement the hook reported
HookProc g_hook = nullptr;

LRESULT CALLBACK RecorderProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message >= qz::UM_DIALOG_OPENED && message <= qz::UM_HELP_CLICKED) {
    g_received.push_back({message, wparam, lparam});
    if (message == qz::UM_GET_PLACEMENT) *reinterpret_cast<RECT*>(lparam) = g_wanted;
    if (message == qz::UM_SET_DEFAULT_PLACEMENT) g_default_seen = *reinterpret_cast<const RECT*>(lparam);
    return 0;
  }
  return DefWindowProcW(hwnd, message, wparam, lparam);
}

INT_PTR CALLBACK DialogProc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
  return g_hook ? static_cast<INT_PTR>(g_hook(dialog, message, wparam, lparam)) : FALSE;
}

// An empty modeless dialog whose procedure hands every message to the hook under test.
HWND OpenDialog(HookProc hook, LPARAM request) {
  struct alignas(DWORD) Template {
    DLGTEMPLATE header;
    WORD menu, window_class, title;
  } dialog_template{{WS_POPUP | WS_CAPTION | DS_MODALFRAME, 0, 0, 10, 10, 200, 100}, 0, 0, 0};
  g_hook = hook;
  return CreateDialogIndirectParamW(GetModuleHandleW(nullptr), &dialog_template.header, nullptr, DialogProc, request);
}

class HookTest : public testing::Test {
protected:
  void SetUp() override {
    g_received.clear();
    g_wanted = {};
    WNDCLASSW wc{};
    wc.lpfnWndProc = RecorderProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"QzHookRecorder";
    RegisterClassW(&wc);
    recorder = CreateWindowW(L"QzHookRecorder", L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr,
                             GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(recorder);
  }
  void TearDown() override {
    DestroyWindow(recorder);
    g_hook = nullptr;
  }
  std::vector<UINT> Ids() const {
    std::vector<UINT> ids;
    for (const Message& m : g_received) ids.push_back(m.id);
    return ids;
  }
  const Message* Find(UINT id) const {
    for (const Message& m : g_received)
      if (m.id == id) return &m;
    return nullptr;
  }
  // Opens, presses Help, closes; checks the whole conversation with the control.
  void RunConversation(HookProc hook, LPARAM request, short kind) {
    const HWND dialog = OpenDialog(hook, request);
    ASSERT_TRUE(dialog);
    EXPECT_EQ(qz::CurrentDialogWindow(), dialog);
    EXPECT_EQ(qz::TheHookRegistry().Lookup(dialog), recorder);
    SendMessageW(dialog, WM_COMMAND, 0x040E, 0);  // the Help button
    SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(0x040E, BN_SETFOCUS), 0);  // not a press
    DestroyWindow(dialog);
    EXPECT_EQ(qz::TheHookRegistry().Lookup(dialog), nullptr);
    EXPECT_EQ(Ids(), (std::vector<UINT>{qz::UM_SET_DEFAULT_PLACEMENT, qz::UM_DIALOG_OPENED, qz::UM_SHOW_HELP,
                                        qz::UM_DIALOG_CLOSED}));
    const Message* opened = Find(qz::UM_DIALOG_OPENED);
    const Message* closed = Find(qz::UM_DIALOG_CLOSED);
    ASSERT_TRUE(opened && closed);
    EXPECT_EQ(opened->wparam, reinterpret_cast<WPARAM>(dialog));
    EXPECT_EQ(opened->lparam, kind);
    EXPECT_EQ(closed->wparam, reinterpret_cast<WPARAM>(dialog));
    EXPECT_EQ(closed->lparam, kind);
  }
  HWND recorder = nullptr;
};

}  // namespace

TEST_F(HookTest, PrintHookReportsKindFiveAndPassesHelpOn) {
  PRINTDLGA request{};
  request.lCustData = reinterpret_cast<LPARAM>(recorder);
  RunConversation(CommdlgPrintHook, reinterpret_cast<LPARAM>(&request), qz::kPrint);
}

TEST_F(HookTest, PrintSetupHookReportsKindTen) {
  PRINTDLGA request{};
  request.lCustData = reinterpret_cast<LPARAM>(recorder);
  RunConversation(CommdlgPrintSetupHook, reinterpret_cast<LPARAM>(&request), qz::kPrintSetup);
}

TEST_F(HookTest, FontHookReportsKindFour) {
  CHOOSEFONTA request{};
  request.lCustData = reinterpret_cast<LPARAM>(recorder);
  RunConversation(CommdlgFontHook, reinterpret_cast<LPARAM>(&request), qz::kFontDialog);
}

TEST_F(HookTest, PrintAndSetupDialogsAreRegisteredTogether) {
  PRINTDLGA request{};
  request.lCustData = reinterpret_cast<LPARAM>(recorder);
  const HWND print = OpenDialog(CommdlgPrintHook, reinterpret_cast<LPARAM>(&request));
  const HWND setup = OpenDialog(CommdlgPrintSetupHook, reinterpret_cast<LPARAM>(&request));
  ASSERT_TRUE(print && setup);
  EXPECT_EQ(qz::TheHookRegistry().Lookup(print), recorder);
  EXPECT_EQ(qz::TheHookRegistry().Lookup(setup), recorder);
  EXPECT_EQ(qz::CurrentDialogWindow(), setup);
  g_hook = CommdlgPrintSetupHook;
  DestroyWindow(setup);
  g_hook = CommdlgPrintHook;
  DestroyWindow(print);
  std::vector<LPARAM> closed_kinds;
  for (const Message& m : g_received)
    if (m.id == qz::UM_DIALOG_CLOSED) closed_kinds.push_back(m.lparam);
  EXPECT_EQ(closed_kinds, (std::vector<LPARAM>{qz::kPrintSetup, qz::kPrint}));
}

TEST_F(HookTest, ShowingTheDialogAppliesTheControlsPlacement) {
  PRINTDLGA request{};
  request.lCustData = reinterpret_cast<LPARAM>(recorder);
  g_wanted = {50, 60, 300, 200};  // left, top, width, height
  const HWND dialog = OpenDialog(CommdlgPrintHook, reinterpret_cast<LPARAM>(&request));
  ASSERT_TRUE(dialog);
  RECT before{};
  GetWindowRect(dialog, &before);
  EXPECT_EQ(g_default_seen.right, before.right - before.left + 1);
  EXPECT_EQ(g_default_seen.bottom, before.bottom - before.top + 1);
  ShowWindow(dialog, SW_SHOW);
  RECT after{};
  GetWindowRect(dialog, &after);
  EXPECT_EQ(after.left, 50);
  EXPECT_EQ(after.top, 60);
  EXPECT_EQ(after.right - after.left, 300);
  EXPECT_EQ(after.bottom - after.top, 201);  // the width step runs last and adds its pixel
  DestroyWindow(dialog);
}

TEST_F(HookTest, ADialogWithoutAControlSendsNothing) {
  PRINTDLGA request{};  // no control window in the custom data
  const HWND dialog = OpenDialog(CommdlgPrintHook, reinterpret_cast<LPARAM>(&request));
  ASSERT_TRUE(dialog);
  SendMessageW(dialog, WM_COMMAND, 0x040E, 0);
  ShowWindow(dialog, SW_SHOW);
  DestroyWindow(dialog);
  EXPECT_TRUE(g_received.empty());
}
