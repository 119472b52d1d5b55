#include "control_base.h"

#include "dib_copy.h"
#include "error_detail.h"

namespace qz {
namespace {

const LPCSTR kCursorTable[16] = {
    IDC_ARROW, IDC_ARROW,  IDC_CROSS,  IDC_IBEAM, IDC_ARROW, IDC_SIZEALL,     IDC_SIZENESW, IDC_SIZENS,
    IDC_SIZENWSE, IDC_SIZEWE, IDC_UPARROW, IDC_WAIT, IDC_NO,  IDC_APPSTARTING, IDC_HELP,     IDC_SIZEALL,
};

}  // namespace

void CQzControlBase::RaiseControlError(long number) { qz::RaiseControlError(number); }

// Messages that the container reflects back from child controls.
constexpr UINT kOcmBase = 0x2000;
constexpr UINT kOcmNotify = kOcmBase + WM_NOTIFY;

CQzControlBase::~CQzControlBase() {
  if (background_brush_) DeleteObject(background_brush_);
}

HBRUSH CQzControlBase::BackgroundBrush() {
  if (!background_brush_) background_brush_ = CreateSolidBrush(TranslateColor(BackColor()));
  return background_brush_;
}

void CQzControlBase::OnBackColorChanged() {
  if (background_brush_) DeleteObject(background_brush_);
  background_brush_ = CreateSolidBrush(TranslateColor(BackColor()));
  OleControl::OnBackColorChanged();
}

bool CQzControlBase::OnGetDisplayString(DISPID id, std::wstring& text) {
  if (id == DISPID_FONT) return false;
  return OleControl::OnGetDisplayString(id, text);
}

bool CQzControlBase::PreTranslateMessage(MSG& msg) {
  if (msg.message != WM_KEYDOWN && msg.message != WM_KEYUP) return OleControl::PreTranslateMessage(msg);
  const WPARAM key = msg.wParam;
  const bool navigation = (key >= VK_PRIOR && key <= VK_DOWN) || key == VK_INSERT || key == VK_DELETE;
  if (!navigation || !WindowHandle()) return OleControl::PreTranslateMessage(msg);
  DefaultWindowProc(msg.message, msg.wParam, msg.lParam);
  return true;
}

bool CQzControlBase::OnWindowMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) {
  switch (message) {
    case WM_SETCURSOR:
      return OnSetCursor(reinterpret_cast<HWND>(wparam), LOWORD(lparam), result);
    case kOcmBase + WM_CTLCOLOREDIT:
    case kOcmBase + WM_CTLCOLORBTN:
    case kOcmBase + WM_CTLCOLORSCROLLBAR:
    case kOcmBase + WM_CTLCOLORSTATIC: {
      HDC dc = reinterpret_cast<HDC>(wparam);
      SetBkColor(dc, TranslateColor(BackColor()));
      SetTextColor(dc, TranslateColor(ForeColor()));
      result = reinterpret_cast<LRESULT>(BackgroundBrush());
      return true;
    }
    case kOcmNotify:
      result = lparam;
      OnChildNotify(wparam, lparam, result);
      return true;
    default:
      return false;
  }
}

bool CQzControlBase::OnSetCursor(HWND window, UINT hit_test, LRESULT& result) {
  if (mouse_pointer_ == 0 || !AmbientUserMode() || window != WindowHandle() || hit_test != HTCLIENT) return false;
  HCURSOR cursor = nullptr;
  if (mouse_pointer_ == kMousePointerCustom) {
    cursor = mouse_icon_;
  } else if (mouse_pointer_ > 0 && mouse_pointer_ < 16) {
    cursor = LoadCursorA(nullptr, kCursorTable[mouse_pointer_]);
  }
  // Values outside the table show no cursor of their own.
  if (cursor) SetCursor(cursor);
  result = cursor ? TRUE : FALSE;
  return true;
}

void CQzControlBase::OnDrawMetafile(HDC dc, const RECT& bounds) {
  HDC screen = GetDC(nullptr);
  const SIZEL extent = ExtentHimetric();
  const int cx = MulDiv(extent.cx, GetDeviceCaps(screen, LOGPIXELSX), 2540);
  const int cy = MulDiv(extent.cy, GetDeviceCaps(screen, LOGPIXELSY), 2540);
  ReleaseDC(nullptr, screen);
  if (cx <= 0 || cy <= 0) return;
  HDC display = CreateDCW(L"DISPLAY", nullptr, nullptr, nullptr);
  HDC memory = CreateCompatibleDC(display);
  HBITMAP bitmap = CreateBitmap(cx, cy, static_cast<UINT>(GetDeviceCaps(display, PLANES)),
                                static_cast<UINT>(GetDeviceCaps(display, BITSPIXEL)), nullptr);
  if (memory && bitmap) {
    HGDIOBJ old = SelectObject(memory, bitmap);
    const RECT own{0, 0, cx, cy};
    OnDraw(memory, own);
    CopyBitmapAsDib(dc, memory, bounds, true);
    SelectObject(memory, old);
  }
  if (bitmap) DeleteObject(bitmap);
  if (memory) DeleteDC(memory);
  if (display) DeleteDC(display);
}

}  // namespace qz
