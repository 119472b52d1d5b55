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
  short GetDialogTop() { return dialog_top_; }
  void SetDialogTop(short v) { StoreAndNotify(dialog_top_, v, kDialogTop); }
  short GetDialogLeft() { return dialog_left_; }
  void SetDialogLeft(short v) { StoreAndNotify(dialog_left_, v, kDialogLeft); }
  short GetDialogWidth() { return dialog_width_; }
  void SetDialogWidth(short v) { StoreAndNotify(dialog_width_, v, kDialogWidth); }
  short GetDialogHeight() { return dialog_height_; }
  void SetDialogHeight(short v) { StoreAndNotify(dialog_height_, v, kDialogHeight); }
  std::string GetInitDir() { return init_dir_; }
  void SetInitDir(std::string v) { StoreAndNotify(init_dir_, std::move(v), kInitDir); }
  std::string GetFilter() { return filter_; }
  void SetFilter(std::string v) { StoreAndNotify(filter_, std::move(v), kFilter); }
  std::string GetDefaultExt() { return default_ext_; }
  void SetDefaultExt(std::string v) { StoreAndNotify(default_ext_, std::move(v), kDefaultExt); }
  std::string GetDialogTitle() { return dialog_title_; }
  void SetDialogTitle(std::string v) { StoreAndNotify(dialog_title_, std::move(v), kDialogTitle); }
  short GetFilterIndex() { return filter_index_; }
  void SetFilterIndex(short v) { StoreAndNotify(filter_index_, v, kFilterIndex); }
  long GetFlags() { return flags_; }
  void SetFlags(long v) { StoreAndNotify(flags_, v, kFlags); }
  bool GetCancelError() { return cancel_error_; }
  void SetCancelError(bool v) { StoreAndNotify(cancel_error_, v, kCancelError); }
  qzf::OleColor GetColor() { return {color_}; }
  void SetColor(qzf::OleColor v) { StoreAndNotify(color_, v.value, kColor); }
  short GetMin() { return min_; }
  void SetMin(short v) { StoreAndNotify(min_, v, kMin); }
  short GetMax() { return max_; }
  void SetMax(short v) { StoreAndNotify(max_, v, kMax); }
  short GetCopies() { return copies_; }
  void SetCopies(short v) { StoreAndNotify(copies_, v, kCopies); }
  short GetFromPage() { return from_page_; }
  void SetFromPage(short v) { StoreAndNotify(from_page_, v, kFromPage); }
  short GetToPage() { return to_page_; }
  void SetToPage(short v) { StoreAndNotify(to_page_, v, kToPage); }
  bool GetPrinterDefault() { return printer_default_; }
  void SetPrinterDefault(bool v) { StoreAndNotify(printer_default_, v, kPrinterDefault); }
  short GetHelpCommand() { return help_command_; }
  void SetHelpCommand(short v) { StoreAndNotify(help_command_, v, kHelpCommand); }
  long GetHelpContext() { return help_context_; }
  void SetHelpContext(long v) { StoreAndNotify(help_context_, v, kHelpContext); }
  std::string GetHelpFile() { return help_file_; }
  void SetHelpFile(std::string v) { StoreAndNotify(help_file_, std::move(v), kHelpFile); }
  std::string GetHelpKey() { return help_key_; }
  void SetHelpKey(std::string v) { StoreAndNotify(help_key_, std::move(v), kHelpKey); }
  std::string GetFileName() { return file_name_; }
  void SetFileName(std::string v) { StoreAndNotify(file_name_, std::move(v), kFileName); }

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
  void SetFileTitle(std::string value);
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
  void AssignFileTitle(const std::string& title);  // the control's own update of FileTitle
  void FillPlacement(RECT& placement);
  void StoreDefaultPlacement(const RECT& placement);
  void FireDialogEvent(DISPID id, HWND dialog, short kind);
  void HideAtRunTime();
  bool HandleHookMessage(UINT message, WPARAM wparam, LPARAM lparam);

  // Instance state, in the order of the control's data model.
  short dialog_default_top_ = 0, dialog_default_left_ = 0, dialog_default_width_ = 0, dialog_default_height_ = 0;
  short max_file_size_ = 0;
  short action_ = 0;
  std::string file_title_;
  std::string file_name_;
  std::array<DWORD, 16> user_colors_{};
  HWND dialog_hwnd_ = nullptr;
  HDC printer_dc_ = nullptr;
  bool title_update_ = false;
  HGLOBAL multi_select_ = nullptr;
  short dialog_top_ = 0, dialog_left_ = 0, dialog_width_ = 0, dialog_height_ = 0;
  std::string init_dir_, filter_, default_ext_, dialog_title_;
  short filter_index_ = 0;
  long flags_ = 0;
  bool cancel_error_ = false;
  DWORD color_ = 0;
  short min_ = 0, max_ = 0;
  short copies_ = 0, from_page_ = 0, to_page_ = 0;
  bool printer_default_ = true;
  short help_command_ = 0;
  long help_context_ = 0;
  std::string help_file_, help_key_;
};

// Shared by every control in the process: the file path the file dialog's hook passes on.
std::string& HookPathBuffer();

}  // namespace qz
