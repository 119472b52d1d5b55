#include "hook_registry.h"

namespace qz {

bool HookRegistry::Register(HWND dialog, HWND control) {
  for (Slot& slot : slots_) {
    if (!slot.control) {
      slot = {dialog, control};
      return true;
    }
  }
  return false;
}

HWND HookRegistry::Lookup(HWND dialog) const {
  for (const Slot& slot : slots_)
    if (slot.dialog == dialog) return slot.control;
  return nullptr;
}

void HookRegistry::Remove(HWND dialog) {
  for (Slot& slot : slots_) {
    if (slot.dialog == dialog) {
      slot = {};
      return;
    }
  }
}

HookRegistry& TheHookRegistry() {
  static HookRegistry registry;
  return registry;
}

}  // namespace qz
