// The General and More pages through IPropertyPage, as a property frame drives them: filled from
// a control, validated, and applied back through the control's IDispatch.
#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "qzcommdl_ids.h"
#include "test_support.h"
#include "window_script.h"

using namespace qztest;

namespace {

// A page site that records the status changes the page reports.
class PageSite : public IPropertyPageSite {
public:
  std::vector<DWORD> status;
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    *out = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IPropertyPageSite)) return E_NOINTERFACE;
    *out = this;
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP OnStatusChange(DWORD flags) override { status.push_back(flags); return S_OK; }
  STDMETHODIMP GetLocaleID(LCID* lcid) override { *lcid = LOCALE_USER_DEFAULT; return S_OK; }
  STDMETHODIMP GetPageContainer(IUnknown** out) override { *out = nullptr; return E_NOTIMPL; }
  STDMETHODIMP TranslateAccelerator(MSG*) override { return S_FALSE; }
};

// Stands between the page and the control and counts every property write by name.
class WriteRecorder : public IDispatch {
public:
  explicit WriteRecorder(IDispatch* inner) : inner_(inner) {}
  std::vector<std::wstring> writes;
  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    *out = nullptr;
    if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, IID_IDispatch)) return E_NOINTERFACE;
    *out = static_cast<IDispatch*>(this);
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return 2; }
  STDMETHODIMP_(ULONG) Release() override { return 1; }
  STDMETHODIMP GetTypeInfoCount(UINT* n) override { return inner_->GetTypeInfoCount(n); }
  STDMETHODIMP GetTypeInfo(UINT i, LCID l, ITypeInfo** t) override { return inner_->GetTypeInfo(i, l, t); }
  STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID lcid, DISPID* ids) override {
    const HRESULT hr = inner_->GetIDsOfNames(iid, names, count, lcid, ids);
    if (SUCCEEDED(hr) && count == 1) names_[ids[0]] = names[0];
    return hr;
  }
  STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags, DISPPARAMS* params, VARIANT* result,
                      EXCEPINFO* excep, UINT* arg_err) override {
    if (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) writes.push_back(names_[id]);
    return inner_->Invoke(id, iid, lcid, flags, params, result, excep, arg_err);
  }

private:
  IDispatch* inner_;
  std::map<DISPID, std::wstring> names_;
};

class PageTest : public testing::Test {
protected:
  void TearDown() override {
    if (page) {
      page->Deactivate();
      page->SetObjects(0, nullptr);
      page->SetPageSite(nullptr);
    }
    DestroyWindow(host);
  }

  void Open(const CLSID& clsid) {
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(ControlLibrary::Get().get_class_object(clsid, IID_IClassFactory, factory.PutVoid()), S_OK);
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IPropertyPage, page.PutVoid()), S_OK);
    ASSERT_EQ(page->SetPageSite(&site), S_OK);
    IUnknown* objects[] = {&recorder};
    ASSERT_EQ(page->SetObjects(1, objects), S_OK);
    ShowWindow(host, SW_SHOW);
    RECT area{0, 0, 380, 180};
    ASSERT_EQ(page->Activate(host, &area, FALSE), S_OK);
    ASSERT_EQ(page->Show(SW_SHOW), S_OK);
    window = FindWindowExW(host, nullptr, L"#32770", nullptr);
    ASSERT_TRUE(window);
  }

  std::wstring Text(int id) {
    wchar_t text[2048] = L"";
    GetDlgItemTextW(window, id, text, 2048);
    return text;
  }
  void Type(int id, const std::wstring& text) { SetDlgItemTextW(window, id, text.c_str()); }
  bool Checked(int id) { return IsDlgButtonChecked(window, id) == BST_CHECKED; }

  // Applies while a person reads and closes the message box the page shows.
  HRESULT ApplyAnsweringMessage(std::string& message) {
    WindowScript script([&](WindowScript& s) {
      const HWND box = s.WaitForDialog(IsMessageBox);
      message = MessageText(box);
      PostMessageA(box, WM_COMMAND, IDOK, 0);
    });
    const HRESULT hr = page->Apply();
    script.Finish();
    if (!script.completed) message = "<no message box: " + script.failure + ">";
    return hr;
  }

  // Types `text` into field `id`, applies, and expects the page to refuse with a message.
  void ExpectRefused(int id, const std::wstring& text, const std::string& message_part) {
    const std::wstring before = Text(id);
    Type(id, text);
    std::string message;
    EXPECT_EQ(ApplyAnsweringMessage(message), E_FAIL) << id;
    EXPECT_NE(message.find(message_part), std::string::npos) << id << ": " << message;
    EXPECT_EQ(GetFocus(), GetDlgItem(window, id)) << id;
    EXPECT_TRUE(recorder.writes.empty()) << id;
    EXPECT_EQ(page->IsPageDirty(), S_OK);
    Type(id, before);
  }

  NotifySink sink;  // outlives the control, which holds on to it
  ComPtr<IDispatch> control = CreateControl();
  WriteRecorder recorder{control.Get()};
  PageSite site;
  HWND host = CreateHostWindow();
  ComPtr<IPropertyPage> page;
  HWND window = nullptr;
};

}  // namespace

TEST_F(PageTest, GeneralPageIsFilledFromTheControl) {
  Put(control.Get(), L"DialogTitle", Var(L"Pick a file"));
  Put(control.Get(), L"DialogTop", Var(short{12}));
  Put(control.Get(), L"DialogLeft", Var(short{34}));
  Put(control.Get(), L"DialogHeight", Var(short{56}));
  Put(control.Get(), L"DialogWidth", Var(short{78}));
  Put(control.Get(), L"InitDir", Var(L"C:\\data"));
  Put(control.Get(), L"CancelError", Var(true));
  Open(qz::kClsidGeneralPage);
  EXPECT_EQ(Text(205), L"Pick a file");
  EXPECT_EQ(Text(206), L"12");
  EXPECT_EQ(Text(207), L"34");
  EXPECT_EQ(Text(208), L"56");
  EXPECT_EQ(Text(209), L"78");
  EXPECT_EQ(Text(210), L"C:\\data");
  EXPECT_EQ(Text(232), L"");
  EXPECT_TRUE(Checked(203));
  EXPECT_EQ(page->IsPageDirty(), S_FALSE);
  EXPECT_TRUE(recorder.writes.empty());
  EXPECT_TRUE(site.status.empty());
}

TEST_F(PageTest, MorePageIsFilledFromTheControl) {
  Put(control.Get(), L"FileName", Var(L"C:\\a.txt"));
  Put(control.Get(), L"Filter", Var(L"Text|*.txt"));
  Put(control.Get(), L"Flags", Var(-7L));
  Put(control.Get(), L"HelpFile", Var(L"x.hlp"));
  Put(control.Get(), L"HelpKey", Var(L"key"));
  Put(control.Get(), L"HelpCommand", Var(short{3}));
  Put(control.Get(), L"HelpContext", Var(70000L));
  Put(control.Get(), L"FromPage", Var(short{2}));
  Put(control.Get(), L"ToPage", Var(short{9}));
  Put(control.Get(), L"DefaultExt", Var(L"txt"));
  Put(control.Get(), L"FilterIndex", Var(short{4}));
  Put(control.Get(), L"Copies", Var(short{5}));
  Put(control.Get(), L"Min", Var(short{6}));
  Put(control.Get(), L"Max", Var(short{72}));
  Open(qz::kClsidMorePage);
  const std::map<int, std::wstring> expected = {
      {221, L"C:\\a.txt"}, {222, L"Text|*.txt"}, {223, L"-7"}, {215, L"x.hlp"}, {216, L"key"}, {217, L"3"},
      {218, L"70000"}, {213, L"2"}, {212, L"9"}, {224, L"txt"}, {225, L"4"}, {214, L"256"}, {211, L"5"},
      {219, L"6"}, {220, L"72"}};
  for (const auto& [id, text] : expected) EXPECT_EQ(Text(id), text) << id;
  EXPECT_TRUE(Checked(204));  // PrinterDefault starts TRUE
  EXPECT_EQ(page->IsPageDirty(), S_FALSE);
}

TEST_F(PageTest, PageInfoCarriesCaptionAndSize) {
  for (const auto& [clsid, caption] : {std::pair{qz::kClsidGeneralPage, L"General"}, {qz::kClsidMorePage, L"More"}}) {
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(ControlLibrary::Get().get_class_object(clsid, IID_IClassFactory, factory.PutVoid()), S_OK);
    ComPtr<IPropertyPage> p;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IPropertyPage, p.PutVoid()), S_OK);
    PROPPAGEINFO info{};
    ASSERT_EQ(p->GetPageInfo(&info), S_OK);
    EXPECT_STREQ(info.pszTitle, caption);
    // 250 x 110 dialog units: a dialog unit is a quarter of the average character width across
    // and an eighth of its height down, so the page is about twice as wide as high.
    EXPECT_GT(info.size.cx, 250);
    EXPECT_GT(info.size.cy, 110);
    const double ratio = static_cast<double>(info.size.cx) / info.size.cy;
    EXPECT_GT(ratio, 1.6);
    EXPECT_LT(ratio, 2.8);
    CoTaskMemFree(info.pszTitle);
    CoTaskMemFree(info.pszDocString);
    CoTaskMemFree(info.pszHelpFile);
  }
}

TEST_F(PageTest, ApplyWritesExactlyTheEditedProperties) {
  ASSERT_NE(Connect(control.Get(), IID_IPropertyNotifySink, &sink), 0u);
  Open(qz::kClsidGeneralPage);
  Type(205, L"Choose");
  Type(206, L"100");
  EXPECT_EQ(page->IsPageDirty(), S_OK);
  ASSERT_FALSE(site.status.empty());
  EXPECT_EQ(site.status.back(), static_cast<DWORD>(PROPPAGESTATUS_DIRTY));
  EXPECT_EQ(page->Apply(), S_OK);
  EXPECT_EQ(recorder.writes, (std::vector<std::wstring>{L"DialogTitle", L"DialogTop"}));
  EXPECT_EQ(sink.changed, (std::vector<DISPID>{qz::kDialogTitle, qz::kDialogTop}));
  EXPECT_EQ(Get(control.Get(), L"DialogTitle").value.AsString(), L"Choose");
  EXPECT_EQ(Get(control.Get(), L"DialogTop").value.AsLong(), 100);
  EXPECT_EQ(page->IsPageDirty(), S_FALSE);
  EXPECT_EQ(site.status.back(), static_cast<DWORD>(PROPPAGESTATUS_CLEAN));
  // Nothing edited since: applying again writes nothing.
  recorder.writes.clear();
  EXPECT_EQ(page->Apply(), S_OK);
  EXPECT_TRUE(recorder.writes.empty());
}

// A frame deactivates a page when another tab is chosen and applies all pages at the end.
TEST_F(PageTest, EditsSurviveDeactivationAndApplyLater) {
  Open(qz::kClsidMorePage);
  Type(222, L"Kept|*.k");
  SendDlgItemMessageW(window, 204, BM_CLICK, 0, 0);
  ASSERT_EQ(page->Deactivate(), S_OK);
  EXPECT_EQ(page->IsPageDirty(), S_OK);
  RECT area{0, 0, 380, 180};
  ASSERT_EQ(page->Activate(host, &area, FALSE), S_OK);
  window = FindWindowExW(host, nullptr, L"#32770", nullptr);
  EXPECT_EQ(Text(222), L"Kept|*.k");
  EXPECT_FALSE(Checked(204));
  ASSERT_EQ(page->Deactivate(), S_OK);
  EXPECT_EQ(page->Apply(), S_OK);
  EXPECT_EQ(recorder.writes, (std::vector<std::wstring>{L"Filter", L"PrinterDefault"}));
  EXPECT_EQ(Get(control.Get(), L"Filter").value.AsString(), L"Kept|*.k");
  EXPECT_FALSE(Get(control.Get(), L"PrinterDefault").value.AsBool());
  EXPECT_EQ(page->IsPageDirty(), S_FALSE);
}

TEST_F(PageTest, DeactivatedPageStillRefusesBadValues) {
  Open(qz::kClsidMorePage);
  Type(214, L"0");
  ASSERT_EQ(page->Deactivate(), S_OK);
  std::string message;
  EXPECT_EQ(ApplyAnsweringMessage(message), E_FAIL);
  EXPECT_NE(message.find("between 1 and 32767"), std::string::npos) << message;
  EXPECT_TRUE(recorder.writes.empty());
}

TEST_F(PageTest, FieldTypedBackToItsValueWritesNothing) {
  Put(control.Get(), L"Filter", Var(L"All|*.*"));
  Open(qz::kClsidMorePage);
  Type(222, L"Other");
  Type(222, L"All|*.*");
  SendDlgItemMessageW(window, 204, BM_CLICK, 0, 0);
  EXPECT_EQ(page->Apply(), S_OK);
  EXPECT_EQ(recorder.writes, (std::vector<std::wstring>{L"PrinterDefault"}));
  EXPECT_FALSE(Get(control.Get(), L"PrinterDefault").value.AsBool());
}

TEST_F(PageTest, MorePageWritesEveryKindOfField) {
  Open(qz::kClsidMorePage);
  Type(214, L"1");
  Type(223, L"-2147483648");
  Type(218, L"-5");
  Type(224, L"bak");
  Type(225, L"7");
  EXPECT_EQ(page->Apply(), S_OK);
  // In the page's exchange order.
  EXPECT_EQ(recorder.writes, (std::vector<std::wstring>{L"FilterIndex", L"Flags", L"HelpContext", L"MaxFileSize", L"DefaultExt"}));
  EXPECT_EQ(Get(control.Get(), L"MaxFileSize").value.AsLong(), 1);
  EXPECT_EQ(Get(control.Get(), L"Flags").value.AsLong(), -2147483647L - 1);
  EXPECT_EQ(Get(control.Get(), L"HelpContext").value.AsLong(), -5);
  EXPECT_EQ(Get(control.Get(), L"DefaultExt").value.AsString(), L"bak");
}

TEST_F(PageTest, MaxFileSizeZeroIsRefusedWhileZeroIsFineElsewhere) {
  Open(qz::kClsidMorePage);
  ExpectRefused(214, L"0", "between 1 and 32767");
  EXPECT_EQ(Get(control.Get(), L"MaxFileSize").value.AsLong(), 256);
  for (int id : {211, 212, 213, 219, 220, 225, 223, 217, 218}) Type(id, L"0");
  Type(214, L"300");
  EXPECT_EQ(page->Apply(), S_OK);
  EXPECT_EQ(Get(control.Get(), L"MaxFileSize").value.AsLong(), 300);
}

TEST_F(PageTest, NegativeNumbersAreRefusedInRangedFields) {
  Open(qz::kClsidMorePage);
  for (int id : {211, 212, 213, 214, 219, 220, 225}) ExpectRefused(id, L"-1", "between");
  // Flags, HelpCommand and HelpContext take any 32-bit integer.
  Type(223, L"-1");
  Type(217, L"-1");
  Type(218, L"-1");
  EXPECT_EQ(page->Apply(), S_OK);
  EXPECT_EQ(recorder.writes, (std::vector<std::wstring>{L"Flags", L"HelpCommand", L"HelpContext"}));
  EXPECT_EQ(Get(control.Get(), L"HelpCommand").value.AsLong(), -1);
}

TEST_F(PageTest, GeneralPageRefusesNegativeAndNonNumericInput) {
  Open(qz::kClsidGeneralPage);
  for (int id : {206, 207, 208, 209}) ExpectRefused(id, L"-3", "between 0 and 32767");
  ExpectRefused(206, L"12abc", "integer");
  ExpectRefused(207, L"99999999999", "integer");
  ExpectRefused(208, L"32768", "between 0 and 32767");
}

TEST_F(PageTest, LengthLimitsStopTyping) {
  Open(qz::kClsidMorePage);
  const HWND ext = GetDlgItem(window, 224);
  SetFocus(ext);
  for (wchar_t c : std::wstring(L"abcd")) SendMessageW(ext, WM_CHAR, c, 1);
  EXPECT_EQ(Text(224), L"abc");
  EXPECT_EQ(SendMessageW(ext, EM_GETLIMITTEXT, 0, 0), 3);
  const std::map<int, LRESULT> limits = {{221, 256}, {222, 1000}, {215, 256}, {216, 1000}};
  for (const auto& [id, limit] : limits) EXPECT_EQ(SendDlgItemMessageW(window, id, EM_GETLIMITTEXT, 0, 0), limit) << id;
  EXPECT_EQ(page->Apply(), S_OK);
  EXPECT_EQ(Get(control.Get(), L"DefaultExt").value.AsString(), L"abc");
}

TEST_F(PageTest, OverlongValueFromTheControlIsRefusedOnceEdited) {
  Put(control.Get(), L"DefaultExt", Var(L"html"));
  Open(qz::kClsidMorePage);
  EXPECT_EQ(Text(224), L"html");
  ExpectRefused(224, L"htmlx", "no more than 3 characters");
  EXPECT_EQ(Get(control.Get(), L"DefaultExt").value.AsString(), L"html");
}

TEST_F(PageTest, PropertyTheControlRefusesIsReportedAndNotApplied) {
  Open(qz::kClsidGeneralPage);
  Type(205, L"New title");
  Type(232, L"name.txt");  // FileTitle only the control itself may set
  std::string message;
  EXPECT_EQ(ApplyAnsweringMessage(message), E_FAIL);
  EXPECT_FALSE(message.empty());
  EXPECT_EQ(GetFocus(), GetDlgItem(window, 232));
  EXPECT_EQ(Get(control.Get(), L"FileTitle").value.AsString(), L"");
  EXPECT_EQ(page->IsPageDirty(), S_OK);
}

TEST_F(PageTest, SetObjectsRefillsAnActivePage) {
  Open(qz::kClsidGeneralPage);
  Type(205, L"unsaved");
  ComPtr<IDispatch> other = CreateControl();
  Put(other.Get(), L"DialogTitle", Var(L"Other control"));
  IUnknown* objects[] = {other.Get()};
  ASSERT_EQ(page->SetObjects(1, objects), S_OK);
  EXPECT_EQ(Text(205), L"Other control");
  EXPECT_EQ(page->IsPageDirty(), S_FALSE);
  IUnknown* nothing[] = {nullptr};
  EXPECT_EQ(page->SetObjects(1, nothing), E_NOINTERFACE);
}

TEST_F(PageTest, PageInterfacesRefuseBadCalls) {
  Open(qz::kClsidGeneralPage);
  RECT area{0, 0, 10, 10};
  EXPECT_EQ(page->Activate(host, &area, FALSE), E_UNEXPECTED);
  EXPECT_EQ(page->SetPageSite(&site), E_UNEXPECTED);
  EXPECT_EQ(page->GetPageInfo(nullptr), E_POINTER);
  EXPECT_EQ(page->Move(nullptr), E_POINTER);
  ASSERT_EQ(page->Deactivate(), S_OK);
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(page->Deactivate(), E_UNEXPECTED);
  EXPECT_EQ(page->Show(SW_SHOW), E_UNEXPECTED);
}
