// The system's default-printer entry as the tests read it, and the change broadcasts that tell
// other programs about a new default printer.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

namespace qztest {

// The "device" entry of the "windows" profile section, or "<none>".
inline std::string ProfileDevice() {
  char entry[512] = {};
  GetProfileStringA("windows", "device", "<none>", entry, sizeof entry);
  return entry;
}

// Records the WM_WININICHANGE broadcasts that reach an ANSI and a wide top-level window of the
// test program while it lives.
struct BroadcastListener {
  static inline std::vector<std::string> ansi_sections, wide_sections;
  HWND ansi = nullptr, wide = nullptr;
  static LRESULT CALLBACK AnsiProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_WININICHANGE && lparam) ansi_sections.emplace_back(reinterpret_cast<const char*>(lparam));
    return DefWindowProcA(hwnd, message, wparam, lparam);
  }
  static LRESULT CALLBACK WideProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_WININICHANGE && lparam) {
      const std::wstring text(reinterpret_cast<const wchar_t*>(lparam));
      wide_sections.emplace_back(text.begin(), text.end());
    }
    return DefWindowProcW(hwnd, message, wparam, lparam);
  }
  BroadcastListener() {
    ansi_sections.clear();
    wide_sections.clear();
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSA a{};
    a.lpfnWndProc = AnsiProc;
    a.hInstance = instance;
    a.lpszClassName = "QzAnsiListener";
    RegisterClassA(&a);
    WNDCLASSW w{};
    w.lpfnWndProc = WideProc;
    w.hInstance = instance;
    w.lpszClassName = L"QzWideListener";
    RegisterClassW(&w);
    ansi = CreateWindowA("QzAnsiListener", "", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, instance, nullptr);
    wide = CreateWindowW(L"QzWideListener", L"", WS_OVERLAPPED, 0, 0, 10, 10, nullptr, nullptr, instance, nullptr);
  }
  ~BroadcastListener() {
    DestroyWindow(ansi);
    DestroyWindow(wide);
  }
  BroadcastListener(const BroadcastListener&) = delete;
  BroadcastListener& operator=(const BroadcastListener&) = delete;
};

}  // namespace qztest
