#include "window_script.h"

#include <chrono>
#include <vector>

namespace qztest {
namespace {

struct ScriptTimeout {};

constexpr auto kHardLimit = std::chrono::seconds(40);
constexpr DWORD kCleanUpAfterMs = 2500;
constexpr DWORD kPollMs = 50;

BOOL CALLBACK CollectOwnDialogs(HWND window, LPARAM list) {
  if (IsOwnDialog(window)) reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
  return TRUE;
}

std::vector<HWND> OwnDialogs() {
  std::vector<HWND> dialogs;
  EnumWindows(CollectOwnDialogs, reinterpret_cast<LPARAM>(&dialogs));
  return dialogs;
}

std::string ClassOf(HWND window) {
  char name[64] = {};
  GetClassNameA(window, name, sizeof name);
  return name;
}

struct Search {
  int id;
  HWND found;
};

BOOL CALLBACK MatchId(HWND window, LPARAM search) {
  auto* s = reinterpret_cast<Search*>(search);
  if (GetDlgCtrlID(window) == s->id) {
    s->found = window;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK LongestStatic(HWND window, LPARAM best) {
  auto* text = reinterpret_cast<std::string*>(best);
  if (_stricmp(ClassOf(window).c_str(), "Static") == 0) {
    const std::string candidate = WindowText(window);
    if (candidate.size() > text->size()) *text = candidate;
  }
  return TRUE;
}

BOOL CALLBACK HasTabControl(HWND window, LPARAM found) {
  if (ClassOf(window) == "SysTabControl32") {
    *reinterpret_cast<bool*>(found) = true;
    return FALSE;
  }
  return TRUE;
}

}  // namespace

bool IsOwnDialog(HWND window) {
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  return pid == GetCurrentProcessId() && IsWindowVisible(window) && ClassOf(window) == "#32770" &&
         !(GetWindowLongW(window, GWL_STYLE) & WS_CHILD);
}

bool IsMessageBox(HWND window) {
  bool tabs = false;
  EnumChildWindows(window, HasTabControl, reinterpret_cast<LPARAM>(&tabs));
  return !tabs && GetDlgItem(window, IDOK) != nullptr;
}

std::string WindowText(HWND window) {
  char text[4096] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

std::string MessageText(HWND box) {
  std::string text;
  EnumChildWindows(box, LongestStatic, reinterpret_cast<LPARAM>(&text));
  return text;
}

HWND FindDescendant(HWND root, int id) {
  Search search{id, nullptr};
  EnumChildWindows(root, MatchId, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

void ClickButton(HWND button) {
  PostMessageA(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
               reinterpret_cast<LPARAM>(button));
}

WindowScript::WindowScript(std::function<void(WindowScript&)> script)
    : script_(std::move(script)), thread_([this] { Run(); }) {}

WindowScript::~WindowScript() { Finish(); }

void WindowScript::Finish() {
  done_ = true;
  if (thread_.joinable()) thread_.join();
}

void WindowScript::Fail(const std::string& why) {
  if (failure.empty()) failure = why;
  throw ScriptTimeout{};
}

HWND WindowScript::WaitForDialog(const std::function<bool(HWND)>& match, DWORD timeout_ms) {
  const DWORD start = GetTickCount();
  while (!done_ && GetTickCount() - start < timeout_ms) {
    for (const HWND dialog : OwnDialogs())
      if (match(dialog)) {
        Sleep(200);  // shown is not finished: let it fill its controls
        return dialog;
      }
    Sleep(kPollMs);
  }
  Fail("no matching dialog appeared");
}

HWND WindowScript::WaitForControl(HWND root, int id, DWORD timeout_ms) {
  const DWORD start = GetTickCount();
  while (!done_ && GetTickCount() - start < timeout_ms) {
    if (const HWND control = FindDescendant(root, id)) return control;
    Sleep(kPollMs);
  }
  Fail("control " + std::to_string(id) + " did not appear");
}

void WindowScript::Run() {
  try {
    script_(*this);
    completed = true;
  } catch (const ScriptTimeout&) {
  }
  // Whatever is still open a while later is cancelled, so the test thread gets out.
  const auto start = std::chrono::steady_clock::now();
  DWORD quiet_since = GetTickCount();
  while (!done_ && std::chrono::steady_clock::now() - start < kHardLimit) {
    const std::vector<HWND> open = OwnDialogs();
    if (open.empty()) {
      quiet_since = GetTickCount();
    } else if (GetTickCount() - quiet_since > kCleanUpAfterMs) {
      for (const HWND dialog : open) PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
      quiet_since = GetTickCount();
    }
    Sleep(kPollMs);
  }
}

}  // namespace qztest
