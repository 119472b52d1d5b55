// Construction, defaults and the properties with design-time and run-time rules.
#include "qzcommdl_ctrl.h"

#include <ocidl.h>
#include <olectl.h>

#include <cmath>

#include "dispatch_error.h"
#include "module_state.h"
#include "multi_select_list.h"
#include "text_convert.h"

namespace qz {
namespace {

constexpr int kUserColorCount = 16;

}  // namespace

const qzf::ControlClassTraits& CQzcommdlCtrl::Traits() {
  static const qzf::ControlClassTraits traits{&kClsidCtrl, &kDiidDispatch, &kDiidEvents, &kLibid,
                                              kTypeLibMajor, kTypeLibMinor, kMiscStatus, kProgIdCtrl};
  return traits;
}

CQzcommdlCtrl::CQzcommdlCtrl() : CQzControlBase(Traits()) {
  SetDefaults();
  SetControlSize(28, 28);
}

CQzcommdlCtrl::~CQzcommdlCtrl() {
  DestroyControlWindow();
  ReleaseBuffers();
}

void CQzcommdlCtrl::SetDefaults() {
  ReleaseBuffers();
#define QZ_DEFAULT(current, version5, name, type, field, initial, ...) field = initial;
  QZ_CONTROL_MEMBERS(QZ_DEFAULT, QZ_DEFAULT, QZ_IGNORE_ROW, QZ_IGNORE_ROW)
#undef QZ_DEFAULT
  dialog_default_top_ = dialog_default_left_ = dialog_default_width_ = dialog_default_height_ = 0;
  action_ = 0;
  file_title_.clear();
  for (int i = 0; i < kUserColorCount; ++i) user_colors_[i] = 0xFFFFFF - static_cast<DWORD>(i) * 0x101010;
  dialog_hwnd_ = nullptr;
}

void CQzcommdlCtrl::ReleaseBuffers() {
  if (multi_select_) GlobalFree(multi_select_);
  multi_select_ = nullptr;
  if (printer_dc_) DeleteDC(printer_dc_);
  printer_dc_ = nullptr;
}

void CQzcommdlCtrl::OnResetState() {
  CQzControlBase::OnResetState();
  SetDefaults();
  SetControlSize(24, 22);
}

void CQzcommdlCtrl::RequireRunMode() const {
  if (!AmbientUserMode()) qzf::ThrowGetNotSupported();
}

void CQzcommdlCtrl::RequireRunModeForSet() const {
  if (!AmbientUserMode()) qzf::ThrowSetNotSupported();
}

short CQzcommdlCtrl::GetAction() {
  RequireRunMode();
  return action_;
}

short CQzcommdlCtrl::GetDialogDefaultTop() { RequireRunMode(); return dialog_default_top_; }
short CQzcommdlCtrl::GetDialogDefaultLeft() { RequireRunMode(); return dialog_default_left_; }
short CQzcommdlCtrl::GetDialogDefaultWidth() { RequireRunMode(); return dialog_default_width_; }
short CQzcommdlCtrl::GetDialogDefaultHeight() { RequireRunMode(); return dialog_default_height_; }
void CQzcommdlCtrl::SetReadOnlyShort(short) { qzf::ThrowSetNotSupported(); }

void CQzcommdlCtrl::SetMaxFileSize(short value) {
  if (value < 0) RaiseControlError(kErrInvalidPropertyValue);
  max_file_size_ = value;
}

// FileTitle is the file dialog's to set: hosts only read it.
void CQzcommdlCtrl::SetReadOnlyString(std::string) { qzf::ThrowSetNotSupported(); }

long CQzcommdlCtrl::GetDialogHwnd() {
  RequireRunMode();
  return HandleToLong(dialog_hwnd_);
}

long CQzcommdlCtrl::GetHdc() {
  RequireRunMode();
  return HandleToLong(printer_dc_);
}

void CQzcommdlCtrl::SetReadOnlyHandle(long) { qzf::ThrowSetNotSupported(); }
long CQzcommdlCtrl::GetWriteOnlyHandle() { qzf::ThrowGetNotSupported(); }

void CQzcommdlCtrl::SetAddControl(long window) {
  RequireRunModeForSet();
  const HWND child = static_cast<HWND>(LongToHandle(window));
  const HWND dialog = CurrentDialogWindow();
  if (IsWindow(child) && dialog && IsWindow(dialog)) SetParent(child, dialog);
}

void CQzcommdlCtrl::SetRemoveControl(long window) {
  RequireRunModeForSet();
  const HWND child = static_cast<HWND>(LongToHandle(window));
  if (IsWindow(child) && WindowHandle()) SetParent(child, GetParent(WindowHandle()));
}

// Font views. Writes without a font object do nothing.

bool CQzcommdlCtrl::GetFontBold() {
  RequireRunMode();
  BOOL value = FALSE;
  if (StockFont()) StockFont()->get_Bold(&value);
  return value != FALSE;
}

void CQzcommdlCtrl::SetFontBold(bool value) {
  if (!StockFont()) return;
  StockFont()->put_Bold(value);
  BoundPropertyChanged(kFontBold);
  SetModifiedFlag(true);
}

bool CQzcommdlCtrl::GetFontItalic() {
  RequireRunMode();
  BOOL value = FALSE;
  if (StockFont()) StockFont()->get_Italic(&value);
  return value != FALSE;
}

void CQzcommdlCtrl::SetFontItalic(bool value) {
  if (!StockFont()) return;
  StockFont()->put_Italic(value);
  BoundPropertyChanged(kFontItalic);
  SetModifiedFlag(true);
}

bool CQzcommdlCtrl::GetFontUnderline() {
  RequireRunMode();
  BOOL value = FALSE;
  if (StockFont()) StockFont()->get_Underline(&value);
  return value != FALSE;
}

void CQzcommdlCtrl::SetFontUnderline(bool value) {
  if (!StockFont()) return;
  StockFont()->put_Underline(value);
  BoundPropertyChanged(kFontUnderline);
  SetModifiedFlag(true);
}

bool CQzcommdlCtrl::GetFontStrikeThru() {
  RequireRunMode();
  BOOL value = FALSE;
  if (StockFont()) StockFont()->get_Strikethrough(&value);
  return value != FALSE;
}

void CQzcommdlCtrl::SetFontStrikeThru(bool value) {
  if (!StockFont()) return;
  StockFont()->put_Strikethrough(value);
  BoundPropertyChanged(kFontStrikeThru);
  SetModifiedFlag(true);
}

std::string CQzcommdlCtrl::GetFontName() {
  RequireRunMode();
  if (!StockFont()) return {};
  BSTR name = nullptr;
  if (FAILED(StockFont()->get_Name(&name)) || !name) return {};
  std::string out = qzf::Narrow(std::wstring_view(name, SysStringLen(name)));
  SysFreeString(name);
  return out;
}

void CQzcommdlCtrl::SetFontName(std::string value) {
  if (!StockFont()) return;
  BSTR name = qzf::AllocBstrFromAnsi(value);
  StockFont()->put_Name(name);
  SysFreeString(name);
  BoundPropertyChanged(kFontName);
  SetModifiedFlag(true);
}

float CQzcommdlCtrl::GetFontSize() {
  RequireRunMode();
  CY size{};
  if (StockFont()) StockFont()->get_Size(&size);
  return static_cast<float>(static_cast<double>(size.int64) / 10000.0);
}

void CQzcommdlCtrl::SetFontSize(float value) {
  if (!StockFont()) return;
  if (!std::isfinite(value) || value < 0 || value > 32767) RaiseControlError(kErrInvalidPropertyValue);
  CY size{};
  size.int64 = static_cast<LONGLONG>(std::llround(static_cast<double>(value) * 10000.0));
  if (FAILED(StockFont()->put_Size(size))) RaiseControlError(kErrInvalidPropertyValue);
  BoundPropertyChanged(kFontSize);
  SetModifiedFlag(true);
}

qzf::OleColor CQzcommdlCtrl::GetUserColors(short index) {
  RequireRunMode();
  if (index < 0 || index >= kUserColorCount) RaiseControlError(kErrInvalidArrayIndex);
  return {user_colors_[static_cast<size_t>(index)]};
}

void CQzcommdlCtrl::SetUserColors(short index, qzf::OleColor value) {
  RequireRunModeForSet();
  if (index < 0 || index >= kUserColorCount) RaiseControlError(kErrInvalidArrayIndex);
  user_colors_[static_cast<size_t>(index)] = value.value;
}

std::string CQzcommdlCtrl::GetFileNameList(short index) {
  if (!multi_select_) return {};
  const auto* data = static_cast<const char*>(GlobalLock(multi_select_));
  if (!data) return {};
  const std::string result =
      FileNameFromList(std::string_view(data, GlobalSize(multi_select_)), max_file_size_, index);
  GlobalUnlock(multi_select_);
  return result;
}

void CQzcommdlCtrl::SetFileNameList(short, std::string) { SetModifiedFlag(true); }

long CQzcommdlCtrl::GetHwnd() { return HandleToLong(EnsureWindow()); }
void CQzcommdlCtrl::SetHwnd(long) { qzf::ThrowSetNotSupported(); }

IDispatch* CQzcommdlCtrl::GetFont() {
  IDispatch* font = nullptr;
  if (StockFont()) StockFont()->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&font));
  return font;
}

void CQzcommdlCtrl::SetFont(IDispatch* font) {
  if (!font) {
    StockFont().Reset();
  } else {
    qzf::ComPtr<IFont> given;
    qzf::ComPtr<IFont> copy;
    if (FAILED(font->QueryInterface(IID_IFont, given.PutVoid())) || FAILED(given->Clone(copy.Put())))
      RaiseControlError(kErrInvalidPropertyValue);
    StockFont() = copy;
  }
  BoundPropertyChanged(DISPID_FONT);
  SetModifiedFlag(true);
  InvalidateControl();
}

void CQzcommdlCtrl::Refresh() {
  InvalidateControl();
  if (WindowHandle()) UpdateWindow(WindowHandle());
}

}  // namespace qz
