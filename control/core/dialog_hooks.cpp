// The steps every dialog hook shares: registration, opened and closed reports, placement, Help.
#include "dialog_hooks.h"

#include "hook_registry.h"
#include "module.h"
#include "module_state.h"
#include "qzcommdl_ids.h"

namespace qz {
namespace {

constexpr WPARAM kHelpButtonCommand = 0x040E;  // control 1038 (pshHelp), notification 0

RECT PlacementOf(HWND frame) {
  RECT r{};
  GetWindowRect(frame, &r);
  // Width and height in right and bottom, each one more than the rectangle's difference.
  return {r.left, r.top, r.right - r.left + 1, r.bottom - r.top + 1};
}

}  // namespace

FARPROC ExportedHook(const char* name) { return GetProcAddress(qzf::Module::Instance(), name); }

void HookDialogOpened(HWND hook, HWND frame, HWND control, short kind) {
  TheHookRegistry().Register(hook, control);
  CurrentDialogWindow() = frame;
  RECT placement = PlacementOf(frame);
  if (const HWND target = TheHookRegistry().Lookup(hook)) {
    SendMessageW(target, UM_SET_DEFAULT_PLACEMENT, 0, reinterpret_cast<LPARAM>(&placement));
    SendMessageW(target, UM_DIALOG_OPENED, reinterpret_cast<WPARAM>(hook), kind);
  }
}

void HookDialogClosed(HWND hook, short kind) {
  if (const HWND control = TheHookRegistry().Lookup(hook))
    SendMessageW(control, UM_DIALOG_CLOSED, reinterpret_cast<WPARAM>(hook), kind);
  TheHookRegistry().Remove(hook);
}

void HookApplyPlacement(HWND hook, HWND frame) {
  RECT wanted{};
  if (const HWND control = TheHookRegistry().Lookup(hook))
    SendMessageW(control, UM_GET_PLACEMENT, 0, reinterpret_cast<LPARAM>(&wanted));
  RECT cur = PlacementOf(frame);
  if (wanted.top > 0 || wanted.left > 0) MoveWindow(frame, wanted.left, wanted.top, cur.right, cur.bottom, FALSE);
  cur = PlacementOf(frame);
  if (wanted.bottom > 0) MoveWindow(frame, cur.left, cur.top, cur.right, wanted.bottom, FALSE);
  cur = PlacementOf(frame);
  if (wanted.right > 0) MoveWindow(frame, cur.left, cur.top, wanted.right, cur.bottom, FALSE);
}

void HookCommand(HWND hook, WPARAM wparam, LPARAM lparam) {
  if (wparam == kHelpButtonCommand) {
    if (const HWND control = TheHookRegistry().Lookup(hook)) SendMessageW(control, UM_SHOW_HELP, 0, 0);
  }
  if (const HWND sender = reinterpret_cast<HWND>(lparam)) SendMessageW(sender, WM_COMMAND, wparam, lparam);
}

}  // namespace qz
