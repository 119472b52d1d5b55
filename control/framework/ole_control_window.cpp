// The control's own window: a child of the container's window while in place, otherwise a
// hidden pop-up so that window messages still reach a control created by a script.
#include "module.h"
#include "ole_control.h"
#include "trace.h"

namespace qzf {
namespace {

constexpr wchar_t kWindowClass[] = L"QzfOleControlWindow";

}  // namespace

void OleControl::PreCreateWindow(CREATESTRUCTW&) {}

bool OleControl::OnWindowMessage(UINT, WPARAM, LPARAM, LRESULT&) { return false; }

void OleControl::OnDraw(HDC, const RECT&) {}

LRESULT OleControl::DefaultWindowProc(UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_PAINT) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd_, &paint);
    RECT bounds;
    GetClientRect(hwnd_, &bounds);
    OnDraw(dc, bounds);
    EndPaint(hwnd_, &paint);
    return 0;
  }
  return DefWindowProcW(hwnd_, message, wparam, lparam);
}

LRESULT CALLBACK OleControl::WindowProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lparam);
    auto* control = static_cast<OleControl*>(create->lpCreateParams);
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(control));
    control->hwnd_ = hwnd;
  }
  auto* control = reinterpret_cast<OleControl*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!control) return DefWindowProcW(hwnd, message, wparam, lparam);
  LRESULT result = 0;
  // No C++ exception may unwind through the system's message dispatch.
  try {
    const bool handled = control->OnWindowMessage(message, wparam, lparam, result);
    if (!handled) result = control->DefaultWindowProc(message, wparam, lparam);
  } catch (...) {
    QZ_TRACE("message %#x ended by an exception", message);
    result = 0;
  }
  if (message == WM_NCDESTROY) {
    // From here on the control has no window; later calls create a new one when needed.
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    control->hwnd_ = nullptr;
  }
  return result;
}

HRESULT OleControl::CreateControlWindow(HWND parent, const RECT& position, bool child) {
  WNDCLASSEXW wc{};
  wc.cbSize = sizeof wc;
  if (!GetClassInfoExW(Module::Instance(), kWindowClass, &wc)) {
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = &OleControl::WindowProc;
    wc.hInstance = Module::Instance();
    wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    wc.lpszClassName = kWindowClass;
    if (!RegisterClassExW(&wc) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
      return HRESULT_FROM_WIN32(GetLastError());
  }
  CREATESTRUCTW create{};
  create.lpCreateParams = this;
  create.hInstance = Module::Instance();
  create.hwndParent = parent;
  create.x = position.left;
  create.y = position.top;
  create.cx = position.right - position.left;
  create.cy = position.bottom - position.top;
  create.style = child ? (WS_CHILD | WS_CLIPSIBLINGS | WS_TABSTOP) : WS_POPUP;
  if (child && !AmbientUserMode()) create.style |= WS_VISIBLE;
  PreCreateWindow(create);
  const HWND hwnd = CreateWindowExW(create.dwExStyle, kWindowClass, L"", create.style, create.x, create.y,
                                    create.cx, create.cy, child ? parent : nullptr, nullptr, Module::Instance(),
                                    this);
  QZ_TRACE("hwnd %p child %d", static_cast<void*>(hwnd), child);
  return hwnd ? S_OK : HRESULT_FROM_WIN32(GetLastError());
}

void OleControl::DestroyControlWindow() {
  if (hwnd_) DestroyWindow(hwnd_);
  hwnd_ = nullptr;
}

HWND OleControl::EnsureWindow() {
  if (!hwnd_) {
    const RECT none{0, 0, 0, 0};
    CreateControlWindow(nullptr, none, false);
  }
  return hwnd_;
}

}  // namespace qzf
