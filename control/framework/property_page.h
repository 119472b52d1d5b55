// An OLE property page: a child dialog from the module's resources, driven by a property frame
// through IPropertyPage. The derived page binds its fields in DoDataExchange; the base tracks
// which bound controls the user edited, so applying writes exactly those properties.
#pragma once
#include <windows.h>
#include <ocidl.h>

#include <map>
#include <set>
#include <span>
#include <string>
#include <vector>

#include "com_object.h"
#include "com_ptr.h"
#include "data_exchange.h"

namespace qzf {

class PropertyPage : public ComObject<IPropertyPage> {
public:
  PropertyPage(UINT dialog_id, UINT caption_id);
  ~PropertyPage() override;

  // Creates a page of type T and queries it for `iid`; for the module's class table.
  template <class T>
  static HRESULT CreateInstance(REFIID iid, void** out);

  // IUnknown
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override;

  // IPropertyPage
  STDMETHODIMP SetPageSite(IPropertyPageSite* site) override;
  STDMETHODIMP Activate(HWND parent, LPCRECT rect, BOOL modal) override;
  STDMETHODIMP Deactivate() override;
  STDMETHODIMP GetPageInfo(PROPPAGEINFO* info) override;
  STDMETHODIMP SetObjects(ULONG count, IUnknown** objects) override;
  STDMETHODIMP Show(UINT command) override;
  STDMETHODIMP Move(LPCRECT rect) override;
  STDMETHODIMP IsPageDirty() override;
  STDMETHODIMP Apply() override;
  STDMETHODIMP Help(LPCOLESTR help_dir) override;
  STDMETHODIMP TranslateAccelerator(MSG* msg) override;

  // Services for the exchange routines.
  HWND Window() const { return hwnd_; }
  std::span<const ComPtr<IDispatch>> Objects() const { return objects_; }
  void BindControl(int id) { bound_.insert(id); }
  bool ControlEdited(int id) const { return edited_.count(id) != 0; }
  // What a control holds: read from the window while the page is active, else what it held
  // when the page was deactivated with edits not yet applied.
  std::wstring ControlText(int id) const;
  bool ControlChecked(int id) const;
  std::wstring Caption() const;

  // Fills the controls from the objects (false) or validates and applies them (true).
  bool UpdateData(bool save);

protected:
  virtual void DoDataExchange(DataExchange& dx) = 0;
  // A WM_COMMAND from a control of the page; true when handled.
  virtual bool OnCommand(int id, int code) { (void)id; (void)code; return false; }

private:
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam);
  void OnControlNotification(int id, int code);
  void SetDirty(bool dirty);
  void KeepEdits();
  void RestoreEdits();
  SIZE PageSize();

  UINT dialog_id_;
  UINT caption_id_;
  HWND hwnd_ = nullptr;
  ComPtr<IPropertyPageSite> site_;
  std::vector<ComPtr<IDispatch>> objects_;
  std::set<int> bound_;   // controls tied to a property
  std::set<int> edited_;  // bound controls the user changed since the last fill or apply
  std::map<int, std::wstring> kept_text_;  // edited controls of a deactivated page
  std::map<int, bool> kept_check_;
  bool dirty_ = false;
  bool filling_ = false;
  SIZE size_{};
};

template <class T>
HRESULT PropertyPage::CreateInstance(REFIID iid, void** out) {
  T* page = nullptr;
  try {
    page = new T();
  } catch (...) {
    return E_OUTOFMEMORY;
  }
  const HRESULT hr = page->QueryInterface(iid, out);
  page->Release();
  return hr;
}

// A string from this module's string table, or empty.
std::wstring LoadModuleString(UINT id);

}  // namespace qzf
