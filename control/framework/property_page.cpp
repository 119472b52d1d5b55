#include "property_page.h"

#include "module.h"
#include "trace.h"

namespace qzf {

std::wstring LoadModuleString(UINT id) {
  const wchar_t* text = nullptr;
  const int length = LoadStringW(Module::Instance(), id, reinterpret_cast<LPWSTR>(&text), 0);
  return length > 0 ? std::wstring(text, static_cast<size_t>(length)) : std::wstring();
}

PropertyPage::PropertyPage(UINT dialog_id, UINT caption_id) : dialog_id_(dialog_id), caption_id_(caption_id) {}

PropertyPage::~PropertyPage() {
  if (hwnd_) DestroyWindow(hwnd_);
}

std::wstring PropertyPage::Caption() const { return LoadModuleString(caption_id_); }

STDMETHODIMP PropertyPage::QueryInterface(REFIID iid, void** out) {
  if (!out) return E_POINTER;
  *out = nullptr;
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IPropertyPage)) {
    *out = static_cast<IPropertyPage*>(this);
    AddRef();
    return S_OK;
  }
  return E_NOINTERFACE;
}

STDMETHODIMP PropertyPage::SetPageSite(IPropertyPageSite* site) {
  QZ_TRACE("site %p", static_cast<void*>(site));
  if (site && site_) return E_UNEXPECTED;
  site_ = ComPtr<IPropertyPageSite>(site);
  return S_OK;
}

STDMETHODIMP PropertyPage::Activate(HWND parent, LPCRECT rect, BOOL) {
  QZ_TRACE("parent %p", static_cast<void*>(parent));
  if (!rect) return E_POINTER;
  if (hwnd_) return E_UNEXPECTED;
  hwnd_ = CreateDialogParamW(Module::Instance(), MAKEINTRESOURCEW(dialog_id_), parent, &DialogProc,
                             reinterpret_cast<LPARAM>(this));
  if (!hwnd_) return HRESULT_FROM_WIN32(GetLastError());
  SetWindowPos(hwnd_, nullptr, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top,
               SWP_NOZORDER | SWP_NOACTIVATE);
  UpdateData(false);
  RestoreEdits();
  return S_OK;
}

// A frame may deactivate a page (another tab chosen) and apply it later, so edits outlive the
// window. Applying reads every bound control, so all of them are kept.
void PropertyPage::KeepEdits() {
  if (edited_.empty()) return;
  for (const int id : bound_) {
    kept_text_[id] = ControlText(id);
    kept_check_[id] = ControlChecked(id);
  }
}

void PropertyPage::RestoreEdits() {
  if (kept_text_.empty()) return;
  filling_ = true;
  for (const int id : edited_) {
    const std::wstring& text = kept_text_[id];
    wchar_t window_class[16] = L"";
    const HWND control = GetDlgItem(hwnd_, id);
    GetClassNameW(control, window_class, 16);
    if (_wcsicmp(window_class, L"Button") == 0) CheckDlgButton(hwnd_, id, kept_check_[id] ? BST_CHECKED : BST_UNCHECKED);
    else SetWindowTextW(control, text.c_str());
  }
  filling_ = false;
  kept_text_.clear();
  kept_check_.clear();
}

std::wstring PropertyPage::ControlText(int id) const {
  if (!hwnd_) {
    const auto kept = kept_text_.find(id);
    return kept == kept_text_.end() ? std::wstring() : kept->second;
  }
  const HWND control = GetDlgItem(hwnd_, id);
  if (!control) return {};
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  const int n = GetWindowTextW(control, text.data(), static_cast<int>(text.size()));
  text.resize(static_cast<size_t>(n > 0 ? n : 0));
  return text;
}

bool PropertyPage::ControlChecked(int id) const {
  if (!hwnd_) {
    const auto kept = kept_check_.find(id);
    return kept != kept_check_.end() && kept->second;
  }
  return IsDlgButtonChecked(hwnd_, id) == BST_CHECKED;
}

STDMETHODIMP PropertyPage::Deactivate() {
  if (!hwnd_) return E_UNEXPECTED;
  DestroyWindow(hwnd_);  // keeps the edits on its way
  return S_OK;
}

namespace {
INT_PTR CALLBACK MeasuringProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
}  // namespace

// The dialog's size in pixels, found by creating it once under a hidden window, since dialog
// units depend on the template's font.
SIZE PropertyPage::PageSize() {
  if (size_.cx != 0) return size_;
  const HWND holder = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  if (!holder) return size_;
  if (const HWND dialog = CreateDialogParamW(Module::Instance(), MAKEINTRESOURCEW(dialog_id_), holder,
                                             &MeasuringProc, 0)) {
    RECT r{};
    GetWindowRect(dialog, &r);
    size_ = {r.right - r.left, r.bottom - r.top};
    DestroyWindow(dialog);
  }
  DestroyWindow(holder);
  return size_;
}

STDMETHODIMP PropertyPage::GetPageInfo(PROPPAGEINFO* info) {
  if (!info) return E_POINTER;
  const std::wstring caption = Caption();
  auto* title = static_cast<LPOLESTR>(CoTaskMemAlloc((caption.size() + 1) * sizeof(wchar_t)));
  if (!title) return E_OUTOFMEMORY;
  wcscpy(title, caption.c_str());
  info->cb = sizeof *info;
  info->pszTitle = title;
  info->size = PageSize();
  info->pszDocString = nullptr;
  info->pszHelpFile = nullptr;
  info->dwHelpContext = 0;
  return S_OK;
}

STDMETHODIMP PropertyPage::SetObjects(ULONG count, IUnknown** objects) {
  QZ_TRACE("count %lu", count);
  if (count && !objects) return E_POINTER;
  std::vector<ComPtr<IDispatch>> dispatches;
  for (ULONG i = 0; i < count; ++i) {
    ComPtr<IDispatch> dispatch;
    if (!objects[i] || FAILED(objects[i]->QueryInterface(IID_IDispatch, dispatch.PutVoid()))) return E_NOINTERFACE;
    dispatches.push_back(dispatch);
  }
  objects_ = std::move(dispatches);
  SetDirty(false);
  edited_.clear();
  kept_text_.clear();
  kept_check_.clear();
  if (hwnd_ && !objects_.empty()) UpdateData(false);
  return S_OK;
}

STDMETHODIMP PropertyPage::Show(UINT command) {
  if (!hwnd_) return E_UNEXPECTED;
  ShowWindow(hwnd_, static_cast<int>(command));
  return S_OK;
}

STDMETHODIMP PropertyPage::Move(LPCRECT rect) {
  if (!rect) return E_POINTER;
  if (!hwnd_) return E_UNEXPECTED;
  MoveWindow(hwnd_, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top, TRUE);
  return S_OK;
}

STDMETHODIMP PropertyPage::IsPageDirty() { return dirty_ ? S_OK : S_FALSE; }

STDMETHODIMP PropertyPage::Apply() {
  QZ_TRACE("dirty %d", dirty_);
  if (!dirty_) return S_OK;
  if (objects_.empty()) return E_UNEXPECTED;
  if (!UpdateData(true)) return E_FAIL;
  edited_.clear();
  kept_text_.clear();
  kept_check_.clear();
  SetDirty(false);
  return S_OK;
}

STDMETHODIMP PropertyPage::Help(LPCOLESTR) { return E_NOTIMPL; }

STDMETHODIMP PropertyPage::TranslateAccelerator(MSG* msg) {
  if (!msg) return E_POINTER;
  if (!hwnd_) return S_FALSE;
  return IsDialogMessageW(hwnd_, msg) ? S_OK : S_FALSE;
}

bool PropertyPage::UpdateData(bool save) {
  DataExchange dx(*this, save);
  filling_ = !save;
  try {
    DoDataExchange(dx);
  } catch (const DataExchangeFailure&) {
    filling_ = false;
    return false;
  }
  filling_ = false;
  return true;
}

void PropertyPage::SetDirty(bool dirty) {
  const bool changed = dirty != dirty_;
  dirty_ = dirty;
  if (changed && site_) site_->OnStatusChange(dirty ? PROPPAGESTATUS_DIRTY : PROPPAGESTATUS_CLEAN);
}

void PropertyPage::OnControlNotification(int id, int code) {
  if (OnCommand(id, code)) return;
  if (filling_ || !bound_.count(id)) return;
  if (code != EN_CHANGE && code != BN_CLICKED) return;
  edited_.insert(id);
  SetDirty(true);
}

INT_PTR CALLBACK PropertyPage::DialogProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(hwnd, DWLP_USER, lparam);
    return FALSE;
  }
  auto* page = reinterpret_cast<PropertyPage*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  if (!page) return FALSE;
  switch (message) {
    case WM_COMMAND:
      page->OnControlNotification(LOWORD(wparam), HIWORD(wparam));
      return TRUE;
    case WM_DESTROY:
      // Also reached when the frame destroys the parent first; the controls still exist here.
      SetWindowLongPtrW(hwnd, DWLP_USER, 0);
      if (page->hwnd_ == hwnd) {
        page->KeepEdits();
        page->hwnd_ = nullptr;
      }
      return FALSE;
    default:
      return FALSE;
  }
}

}  // namespace qzf
