// Which control window a hooked dialog reports to. Module-wide, used on the UI thread only.
#pragma once
#include <windows.h>

#include <array>

namespace qz {

class HookRegistry {
public:
  static constexpr size_t kSlots = 25;
  // False when every slot is taken: that dialog then reports to no control.
  bool Register(HWND dialog, HWND control);
  HWND Lookup(HWND dialog) const;  // null when the dialog is not registered
  void Remove(HWND dialog);

private:
  struct Slot {
    HWND dialog = nullptr;
    HWND control = nullptr;
  };
  std::array<Slot, kSlots> slots_{};
};

HookRegistry& TheHookRegistry();

}  // namespace qz
