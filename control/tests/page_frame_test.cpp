// The pages registered and shown in a real property frame, driven the way a person would from
// a second thread; and the registry entries of the page classes.
#include <gtest/gtest.h>
#include <olectl.h>
#include <commctrl.h>
#include <prsht.h>

#include <string>

#include "qzcommdl_ids.h"
#include "test_support.h"
#include "window_script.h"

using namespace qztest;

namespace {

constexpr wchar_t kGeneralKey[] = L"CLSID\\{F8D4CCA4-D7AE-11CE-9577-0020AF039CA3}";
constexpr wchar_t kMoreKey[] = L"CLSID\\{68BB3D81-12D1-11CF-86BA-00AA00A25549}";

std::wstring Value(const std::wstring& key, const wchar_t* name = nullptr) {
  wchar_t data[1024] = L"<missing>";
  DWORD size = sizeof data;
  RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), name, RRF_RT_REG_SZ, nullptr, data, &size);
  return data;
}

bool KeyExists(const std::wstring& key) {
  HKEY h = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
  RegCloseKey(h);
  return true;
}

bool IsFrame(HWND window) { return !IsMessageBox(window); }

std::string TabText(HWND tabs, int index) {
  // The tab control belongs to the test's own process, so its item text can be read in place.
  char text[64] = {};
  TCITEMA item{};
  item.mask = TCIF_TEXT;
  item.pszText = text;
  item.cchTextMax = sizeof text;
  SendMessageA(tabs, TCM_GETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
  return text;
}

class PropertyFrame : public testing::Test {
protected:
  void SetUp() override { ASSERT_EQ(ControlLibrary::Get().register_server(), S_OK); }
  void TearDown() override {
    ControlLibrary::Get().unregister_server();
    DestroyWindow(owner);
  }

  // Opens the frame on the control's pages, as a container does; returns when it closes.
  HRESULT ShowFrame() {
    ComPtr<ISpecifyPropertyPages> specify;
    if (FAILED(control.As(IID_ISpecifyPropertyPages, specify))) return E_NOINTERFACE;
    CAUUID pages{};
    specify->GetPages(&pages);
    IUnknown* objects[] = {control.Get()};
    const HRESULT hr = OleCreatePropertyFrame(owner, 0, 0, L"QzCommonDialog", 1, objects, pages.cElems,
                                              pages.pElems, LOCALE_USER_DEFAULT, 0, nullptr);
    CoTaskMemFree(pages.pElems);
    return hr;
  }

  ComPtr<IDispatch> control = CreateControl();
  HWND owner = CreateHostWindow();
};

}  // namespace

TEST(PageClasses, ControlListsFourPagesInOrder) {
  ComPtr<IDispatch> control = CreateControl();
  ComPtr<ISpecifyPropertyPages> specify;
  ASSERT_EQ(control.As(IID_ISpecifyPropertyPages, specify), S_OK);
  CAUUID pages{};
  ASSERT_EQ(specify->GetPages(&pages), S_OK);
  ASSERT_EQ(pages.cElems, 4u);
  const CLSID color = {0x0BE35201, 0x8F91, 0x11CE, {0x9D, 0xE3, 0x00, 0xAA, 0x00, 0x4B, 0xB8, 0x51}};
  const CLSID font = {0x0BE35200, 0x8F91, 0x11CE, {0x9D, 0xE3, 0x00, 0xAA, 0x00, 0x4B, 0xB8, 0x51}};
  EXPECT_TRUE(IsEqualCLSID(pages.pElems[0], qz::kClsidGeneralPage));
  EXPECT_TRUE(IsEqualCLSID(pages.pElems[1], qz::kClsidMorePage));
  EXPECT_TRUE(IsEqualCLSID(pages.pElems[2], color));
  EXPECT_TRUE(IsEqualCLSID(pages.pElems[3], font));
  CoTaskMemFree(pages.pElems);
}

TEST(PageClasses, FactoriesServeBothPagesAndCountAsObjects) {
  ControlLibrary& lib = ControlLibrary::Get();
  for (const CLSID& clsid : {qz::kClsidGeneralPage, qz::kClsidMorePage}) {
    ComPtr<IClassFactory> factory;
    ASSERT_EQ(lib.get_class_object(clsid, IID_IClassFactory, factory.PutVoid()), S_OK);
    ComPtr<IPropertyPage> page;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IPropertyPage, page.PutVoid()), S_OK);
    factory.Reset();
    EXPECT_EQ(lib.can_unload_now(), S_FALSE);
    ComPtr<IOleObject> not_a_page;
    EXPECT_EQ(page.As(IID_IOleObject, not_a_page), E_NOINTERFACE);
  }
  EXPECT_EQ(lib.can_unload_now(), S_OK);
}

TEST(PageClasses, RegistrationWritesAndRemovesThePageKeys) {
  ControlLibrary& lib = ControlLibrary::Get();
  ASSERT_EQ(lib.register_server(), S_OK);
  EXPECT_EQ(Value(kGeneralKey), L"Veldran Common Dialog Property Page");
  EXPECT_EQ(Value(kMoreKey), L"Veldran QzCommonDialog More Property Page");
  for (const wchar_t* key : {kGeneralKey, kMoreKey}) {
    const std::wstring server = std::wstring(key) + L"\\InprocServer32";
    EXPECT_EQ(lstrcmpiW(Value(server).c_str(), OcxPath().c_str()), 0) << key;
    EXPECT_EQ(Value(server, L"ThreadingModel"), L"<missing>") << key;
  }
  // Created through the registry, as a property frame does.
  ComPtr<IPropertyPage> page;
  EXPECT_EQ(CoCreateInstance(qz::kClsidMorePage, nullptr, CLSCTX_INPROC_SERVER, IID_IPropertyPage, page.PutVoid()), S_OK);
  page.Reset();
  ASSERT_EQ(lib.unregister_server(), S_OK);
  EXPECT_FALSE(KeyExists(kGeneralKey));
  EXPECT_FALSE(KeyExists(kMoreKey));
}

// The frame builds its tabs from the pages it could create, in the control's order.
TEST_F(PropertyFrame, FrameShowsTheGeneralPageFilledFromTheControl) {
  Put(control.Get(), L"DialogTitle", Var(L"Before"));
  Put(control.Get(), L"DialogLeft", Var(short{250}));
  Put(control.Get(), L"CancelError", Var(true));
  std::string title, left, first_tab, second_tab;
  bool checked = false;
  WindowScript script([&](WindowScript& s) {
    const HWND frame = s.WaitForDialog(IsFrame);
    title = WindowText(s.WaitForControl(frame, 205));
    left = WindowText(s.WaitForControl(frame, 207));
    checked = SendMessageA(s.WaitForControl(frame, 203), BM_GETCHECK, 0, 0) == BST_CHECKED;
    const HWND tabs = FindWindowExA(frame, nullptr, "SysTabControl32", nullptr);
    if (!tabs) s.Fail("no tab control");
    first_tab = TabText(tabs, 0);
    second_tab = TabText(tabs, 1);
    PostMessageA(frame, WM_COMMAND, IDCANCEL, 0);
  });
  EXPECT_EQ(ShowFrame(), S_OK);
  script.Finish();
  EXPECT_TRUE(script.completed) << script.failure;
  EXPECT_EQ(title, "Before");
  EXPECT_EQ(left, "250");
  EXPECT_TRUE(checked);
  EXPECT_EQ(first_tab, "General");
  EXPECT_EQ(second_tab, "More");
}

TEST_F(PropertyFrame, MoreTabShowsTheMoreFieldsWithTheirLimits) {
  Put(control.Get(), L"Filter", Var(L"Text|*.txt"));
  std::string filter, max_file_size;
  LRESULT ext_limit = 0;
  WindowScript script([&](WindowScript& s) {
    const HWND frame = s.WaitForDialog(IsFrame);
    PostMessageA(frame, PSM_SETCURSEL, 1, 0);
    filter = WindowText(s.WaitForControl(frame, 222));
    max_file_size = WindowText(s.WaitForControl(frame, 214));
    ext_limit = SendMessageA(s.WaitForControl(frame, 224), EM_GETLIMITTEXT, 0, 0);
    PostMessageA(frame, WM_COMMAND, IDCANCEL, 0);
  });
  EXPECT_EQ(ShowFrame(), S_OK);
  script.Finish();
  EXPECT_TRUE(script.completed) << script.failure;
  EXPECT_EQ(filter, "Text|*.txt");
  EXPECT_EQ(max_file_size, "256");
  EXPECT_EQ(ext_limit, 3);
}

TEST_F(PropertyFrame, CancelLeavesTheControlAlone) {
  WindowScript script([&](WindowScript& s) {
    const HWND frame = s.WaitForDialog(IsFrame);
    SetWindowTextA(s.WaitForControl(frame, 205), "Dropped");
    PostMessageA(frame, WM_COMMAND, IDCANCEL, 0);
  });
  EXPECT_EQ(ShowFrame(), S_OK);
  script.Finish();
  EXPECT_TRUE(script.completed) << script.failure;
  EXPECT_EQ(Get(control.Get(), L"DialogTitle").value.AsString(), L"");
}

TEST_F(PropertyFrame, PropertiesVerbOpensTheFrame) {
  ComPtr<IOleObject> object;
  ASSERT_EQ(control.As(IID_IOleObject, object), S_OK);
  std::string title;
  WindowScript script([&](WindowScript& s) {
    const HWND frame = s.WaitForDialog(IsFrame);
    title = WindowText(s.WaitForControl(frame, 205));
    PostMessageA(frame, WM_COMMAND, IDCANCEL, 0);
  });
  Put(control.Get(), L"DialogTitle", Var(L"By verb"));
  EXPECT_EQ(object->DoVerb(OLEIVERB_PROPERTIES, nullptr, nullptr, 0, owner, nullptr), S_OK);
  script.Finish();
  EXPECT_TRUE(script.completed) << script.failure;
  EXPECT_EQ(title, "By verb");
}

TEST_F(PropertyFrame, AboutButtonInTheFrameShowsTheAboutBox) {
  std::string title;
  std::string text;
  WindowScript script([&](WindowScript& s) {
    const HWND frame = s.WaitForDialog(IsFrame);
    ClickButton(s.WaitForControl(frame, 201));
    const HWND box = s.WaitForDialog(IsMessageBox);
    title = WindowText(box);
    text = MessageText(box);
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    PostMessageA(frame, WM_COMMAND, IDCANCEL, 0);
  });
  EXPECT_EQ(ShowFrame(), S_OK);
  script.Finish();
  EXPECT_TRUE(script.completed) << script.failure;
  EXPECT_EQ(title, "About...");
  EXPECT_NE(text.find("\nVersion: 7.00.00.00\n"), std::string::npos) << text;
}
