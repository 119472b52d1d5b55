// Runs a script of user actions on a second thread while the test's own thread sits in a modal
// loop (a message box, a property frame). Every wait has a time limit. When the script ends,
// fails or runs out of time, dialogs of this process still open are cancelled, so the modal call
// on the test thread always returns.
#pragma once
#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

namespace qztest {

class WindowScript {
public:
  explicit WindowScript(std::function<void(WindowScript&)> script);
  ~WindowScript();
  WindowScript(const WindowScript&) = delete;
  WindowScript& operator=(const WindowScript&) = delete;

  // Stops watching; call after the modal call returned, before reading the results.
  void Finish();

  // For the script. A wait that runs out of time ends the script with `failure` set.
  HWND WaitForDialog(const std::function<bool(HWND)>& match, DWORD timeout_ms = 15000);
  HWND WaitForControl(HWND root, int id, DWORD timeout_ms = 15000);
  [[noreturn]] void Fail(const std::string& why);

  bool completed = false;  // the script ran to its end
  std::string failure;

private:
  void Run();
  std::function<void(WindowScript&)> script_;
  std::atomic<bool> done_{false};
  std::thread thread_;
};

// Visible top-level dialogs ("#32770") of this process.
bool IsOwnDialog(HWND window);
bool IsMessageBox(HWND window);  // a dialog with no tab control and an OK button
std::string WindowText(HWND window);
// The message of a message box: its longest static text.
std::string MessageText(HWND box);
// The first window below `root` (at any depth) with control id `id`.
HWND FindDescendant(HWND root, int id);
// Presses a button the way a click does: BN_CLICKED posted to its parent.
void ClickButton(HWND button);

}  // namespace qztest
