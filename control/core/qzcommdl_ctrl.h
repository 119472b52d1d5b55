// The common dialog control: its state, the accessors behind the dispatch interface, the
// Action dispatcher, persistence, events and window rules.
#pragma once
#include <array>
#include <span>
#include <string>

#include "control_base.h"
#include "dispatch_binding.h"
#include "qzcommdl_ids.h"

namespace qz {

class CQzcommdlCtrl : public CQzControlBase {
public:
  CQzcommdlCtrl();
  ~CQzcommdlCtrl() override;

  static const qzf::ControlClassTraits& Traits();
  std::span<const qzf::DispEntry> DispatchTable() const override;

  // Plain properties: store as given, notify, mark modified.
#define QZ_PLAIN_ACCESSORS(current, version5, name, type, field, ...) \
  type Get##name() { return field; }                                  \
  void Set##name(type v) { StoreAndNotify(field, std::move(v), k##name); }
  QZ_CONTROL_MEMBERS(QZ_PLAIN_ACCESSORS, QZ_IGNORE_ROW, QZ_IGNORE_ROW, QZ_IGNORE_ROW)
#undef QZ_PLAIN_ACCESSORS

  // Members with design-time and run-time rules.
  short GetAction();
  void SetAction(short value);
  short GetDialogDefaultTop();
  short GetDialogDefaultLeft();
  short GetDialogDefaultWidth();
  short GetDialogDefaultHeight();
  void SetReadOnlyShort(short value);
  short GetMaxFileSize() { return max_file_size_; }
  void SetMaxFileSize(short value);
  std::string GetFileTitle() { return file_title_; }
  void SetReadOnlyString(std::string value);
  long GetDialogHwnd();
  long GetHdc();
  void SetReadOnlyHandle(long value);
  long GetWriteOnlyHandle();
  void SetAddControl(long window);
  void SetRemoveControl(long window);
  bool GetFontBold();
  void SetFontBold(bool value);
  bool GetFontItalic();
  void SetFontItalic(bool value);
  bool GetFontUnderline();
  void SetFontUnderline(bool value);
  bool GetFontStrikeThru();
  void SetFontStrikeThru(bool value);
  std::string GetFontName();
  void SetFontName(std::string value);
  float GetFontSize();
  void SetFontSize(float value);
  qzf::OleColor GetUserColors(short index);
  void SetUserColors(short index, qzf::OleColor value);
  std::string GetFileNameList(short index);
  void SetFileNameList(short index, std::string value);
  long GetHwnd();
  void SetHwnd(long value);
  IDispatch* GetFont();
  void SetFont(IDispatch* font);

  void ShowOpen() { SetAction(kOpen); }
  void ShowSave() { SetAction(kSave); }
  void ShowFont() { SetAction(kFontDialog); }
  void ShowColor() { SetAction(kColorDialog); }
  void ShowPrinter() { SetAction(kPrint); }
  void ShowHelp() { SetAction(kShowHelpAction); }
  void Refresh();
  void AboutBox();

  // Events.
  void FireFilenameChange();
  void FireCommonDialogOpened(HWND dialog, short kind);
  void FireCommonDialogClosed(HWND dialog, short kind);
  void FireHelpClick();

protected:
  void DoPropExchange(qzf::PropExchange& px) override;
  void OnResetState() override;
  void OnDraw(HDC dc, const RECT& bounds) override;
  void PreCreateWindow(CREATESTRUCTW& create) override;
  bool OnWindowMessage(UINT message, WPARAM wparam, LPARAM lparam, LRESULT& result) override;
  std::vector<CLSID> PropertyPages() const override;

private:
  template <class T, class V>
  void StoreAndNotify(T& field, V&& value, DISPID id) {
    field = std::forward<V>(value);
    BoundPropertyChanged(id);
    SetModifiedFlag(true);
  }
  void SetDefaults();
  void ReleaseBuffers();
  void RequireRunMode() const;       // CTL_E_GETNOTSUPPORTED in design mode
  void RequireRunModeForSet() const; // CTL_E_SETNOTSUPPORTED in design mode
  long RunDialog(short action);
  long RunFileDialog(short kind);
  long RunColorDialog();
  long RunFontDialog();
  long RunPrintDialog();
  void RunHelp();  // raises its own error
  // The common ending of a dialog the system call reported as failed: cancel or mapped error.
  long FailedDialogResult(DWORD extended_error) const;
  void FillPlacement(RECT& placement);
  void StoreDefaultPlacement(const RECT& placement);
  void FireDialogEvent(DISPID id, HWND dialog, short kind);
  void HideAtRunTime();
  bool HandleHookMessage(UINT message, WPARAM wparam, LPARAM lparam);

  // The stored properties of the member table, then the rest of the instance state.
#define QZ_FIELD(current, version5, name, type, field, initial, ...) type field = initial;
  QZ_CONTROL_MEMBERS(QZ_FIELD, QZ_FIELD, QZ_IGNORE_ROW, QZ_IGNORE_ROW)
#undef QZ_FIELD
  short dialog_default_top_ = 0, dialog_default_left_ = 0, dialog_default_width_ = 0, dialog_default_height_ = 0;
  short action_ = 0;
  std::string file_title_;
  std::array<DWORD, 16> user_colors_{};
  HWND dialog_hwnd_ = nullptr;
  HDC printer_dc_ = nullptr;
  HGLOBAL multi_select_ = nullptr;
};

// Shared by every control in the process: the file path the file dialog's hook passes on.
std::string& HookPathBuffer();

}  // namespace qz
