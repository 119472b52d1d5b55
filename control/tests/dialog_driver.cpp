#include "dialog_driver.h"

#include <chrono>

namespace qztest {
namespace {

// The file name field: a combo box (cmb13) in some dialog versions, an edit (edt1) in others.
constexpr int kFileNameCombo = 0x47c;
constexpr int kFileNameEdit = 0x480;
constexpr auto kGiveUp = std::chrono::seconds(20);
constexpr auto kCleanUpAfter = std::chrono::seconds(3);
constexpr DWORD kSettle = 400;  // milliseconds

BOOL CALLBACK CheckWindow(HWND window, LPARAM found) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  char name[16] = {};
  GetClassNameA(window, name, sizeof name);
  if (pid == GetCurrentProcessId() && IsWindowVisible(window) && std::string(name) == "#32770") {
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
  }
  return TRUE;
}

HWND FileNameField(HWND dialog) {
  const HWND combo = GetDlgItem(dialog, kFileNameCombo);
  return combo ? combo : GetDlgItem(dialog, kFileNameEdit);
}

std::string TextOf(HWND window) {
  char text[1024] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

}  // namespace

HWND FindOwnDialog() {
  HWND found = nullptr;
  EnumWindows(CheckWindow, reinterpret_cast<LPARAM>(&found));
  return found;
}

DialogDriver::DialogDriver(std::function<void(HWND)> act) : act_(std::move(act)), thread_([this] { Run(); }) {}

DialogDriver::~DialogDriver() { Finish(); }

void DialogDriver::Finish() {
  done_ = true;
  if (thread_.joinable()) thread_.join();
}

void DialogDriver::Run() {
  const auto start = std::chrono::steady_clock::now();
  auto acted_at = start;
  while (!done_ && std::chrono::steady_clock::now() - start < kGiveUp) {
    if (const HWND dialog = FindOwnDialog()) {
      if (!saw_dialog) {
        // Shown is not finished: the dialog fills its fields after it becomes visible.
        Sleep(kSettle);
        saw_dialog = true;
        title = TextOf(dialog);
        file_name = TextOf(FileNameField(dialog));
        GetWindowRect(dialog, &frame);
        act_(dialog);
        acted_at = std::chrono::steady_clock::now();
      } else if (std::chrono::steady_clock::now() - acted_at > kCleanUpAfter) {
        PressCancel(dialog);
        acted_at = std::chrono::steady_clock::now();
      }
    }
    Sleep(50);
  }
}

void TypeFileNameAndOk(HWND dialog, const std::string& name) {
  SetWindowTextA(FileNameField(dialog), name.c_str());
  PostMessageA(dialog, WM_COMMAND, IDOK, 0);
}

void PressCancel(HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0); }

}  // namespace qztest
