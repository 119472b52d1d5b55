// Drives a system dialog the way a person would, from a second thread, while the test's own
// thread sits in the dialog's modal loop. Every wait has a time limit, so a dialog that never
// appears fails the test instead of hanging it.
#pragma once
#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

namespace qztest {

// This process's visible dialog window ("#32770"), or null.
HWND FindOwnDialog();

class DialogDriver {
public:
  // `act` runs once on the first dialog found. Dialogs still open a while later (a message box,
  // an action that did not close the dialog) are cancelled so that the test always returns.
  explicit DialogDriver(std::function<void(HWND)> act);
  ~DialogDriver();
  DialogDriver(const DialogDriver&) = delete;
  DialogDriver& operator=(const DialogDriver&) = delete;

  // Stops watching; call after the dialog call returned, before reading what was seen.
  void Finish();

  // What the dialog showed when it was found.
  bool saw_dialog = false;
  std::string title;
  std::string file_name;  // the text of the file name field
  RECT frame{};           // the visible dialog's window rectangle

private:
  void Run();
  std::function<void(HWND)> act_;
  std::atomic<bool> done_{false};
  std::thread thread_;
};

// The actions of a person: type a file name and press OK, or press Cancel.
void TypeFileNameAndOk(HWND dialog, const std::string& name);
void PressCancel(HWND dialog);

}  // namespace qztest
