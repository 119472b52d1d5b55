// The control in containers: Wine's ATL host window, which creates it by ProgID and activates it
// in place without ambient properties, and a test container that answers UserMode both ways.
#include <gtest/gtest.h>

#include <memory>

#include "qzcommdl_ids.h"
#include "test_support.h"

using namespace qztest;

namespace {

class TestContainer : public testing::Test {
protected:
  void SetUp() override {
    host = CreateHostWindow();
    ASSERT_TRUE(host);
    ctrl = CreateControl();
    ASSERT_TRUE(ctrl);
    ASSERT_EQ(ctrl.As(IID_IOleObject, object), S_OK);
  }
  void TearDown() override {
    if (object) {
      object->Close(OLECLOSE_NOSAVE);
      object->SetClientSite(nullptr);
    }
    object.Reset();
    ctrl.Reset();
    DestroyWindow(host);
  }
  void Activate(TestSite::Ambient ambient) {
    site = std::make_unique<TestSite>(ambient, host);
    ASSERT_EQ(object->SetClientSite(site.get()), S_OK);
    ComPtr<IPersistStreamInit> persist;
    ASSERT_EQ(ctrl.As(IID_IPersistStreamInit, persist), S_OK);
    ASSERT_EQ(persist->InitNew(), S_OK);
    RECT r{10, 10, 38, 38};
    ASSERT_EQ(object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site.get(), 0, host, &r), S_OK);
  }
  HWND ControlWindow() {
    ComPtr<IOleInPlaceObject> in_place;
    ctrl.As(IID_IOleInPlaceObject, in_place);
    HWND hwnd = nullptr;
    if (in_place) in_place->GetWindow(&hwnd);
    return hwnd;
  }
  HWND host = nullptr;
  std::unique_ptr<TestSite> site;
  ComPtr<IDispatch> ctrl;
  ComPtr<IOleObject> object;
};

COLORREF PixelAfterDraw(IUnknown* control, int x, int y, RECT bounds) {
  ComPtr<IViewObject2> view;
  control->QueryInterface(IID_IViewObject2, view.PutVoid());
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 64, 64);
  HGDIOBJ old = SelectObject(memory, bitmap);
  RECT all{0, 0, 64, 64};
  FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  RECTL b{bounds.left, bounds.top, bounds.right, bounds.bottom};
  const HRESULT hr = view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, memory, &b, nullptr, nullptr, 0);
  const COLORREF pixel = hr == S_OK ? GetPixel(memory, x, y) : CLR_INVALID;
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  return pixel;
}

}  // namespace

TEST_F(TestContainer, DesignModeShowsTheControlAsAChildWindow) {
  Activate(TestSite::Ambient::DesignMode);
  const HWND hwnd = ControlWindow();
  ASSERT_TRUE(IsWindow(hwnd));
  EXPECT_EQ(GetParent(hwnd), host);
  EXPECT_TRUE(GetWindowLongW(hwnd, GWL_STYLE) & WS_VISIBLE);
  EXPECT_TRUE(GetWindowLongW(hwnd, GWL_STYLE) & WS_BORDER);
  EXPECT_FALSE(GetWindowLongW(hwnd, GWL_STYLE) & WS_TABSTOP);
  EXPECT_EQ(site->activations, 1);
  ComPtr<IOleInPlaceObject> in_place;
  ASSERT_EQ(ctrl.As(IID_IOleInPlaceObject, in_place), S_OK);
  RECT moved{5, 6, 45, 36};
  ASSERT_EQ(in_place->SetObjectRects(&moved, &moved), S_OK);
  RECT now{};
  GetWindowRect(hwnd, &now);
  MapWindowPoints(nullptr, host, reinterpret_cast<POINT*>(&now), 2);
  EXPECT_EQ(now.left, 5);
  EXPECT_EQ(now.right - now.left, 40);
}

TEST_F(TestContainer, ClipRectangleLimitsWhereTheControlPaints) {
  Activate(TestSite::Ambient::DesignMode);
  const HWND hwnd = ControlWindow();
  ASSERT_TRUE(IsWindow(hwnd));
  ComPtr<IOleInPlaceObject> in_place;
  ASSERT_EQ(ctrl.As(IID_IOleInPlaceObject, in_place), S_OK);
  RECT position{5, 6, 45, 36};
  RECT clip{10, 10, 30, 30};
  ASSERT_EQ(in_place->SetObjectRects(&position, &clip), S_OK);
  HRGN region = CreateRectRgn(0, 0, 0, 0);
  ASSERT_EQ(GetWindowRgn(hwnd, region), SIMPLEREGION);
  RECT box{};
  GetRgnBox(region, &box);
  EXPECT_EQ(box.left, 5);
  EXPECT_EQ(box.top, 4);
  EXPECT_EQ(box.right, 25);
  EXPECT_EQ(box.bottom, 24);
  // The window itself still spans the whole position rectangle.
  RECT now{};
  GetWindowRect(hwnd, &now);
  EXPECT_EQ(now.right - now.left, 40);
  EXPECT_EQ(now.bottom - now.top, 30);
  // A clip rectangle that holds the whole control, or none at all, removes the limit.
  RECT wide{0, 0, 100, 100};
  ASSERT_EQ(in_place->SetObjectRects(&position, &wide), S_OK);
  EXPECT_EQ(GetWindowRgn(hwnd, region), ERROR);
  ASSERT_EQ(in_place->SetObjectRects(&position, &clip), S_OK);
  ASSERT_EQ(in_place->SetObjectRects(&position, nullptr), S_OK);
  EXPECT_EQ(GetWindowRgn(hwnd, region), ERROR);
  DeleteObject(region);
}

TEST_F(TestContainer, RunModeKeepsTheControlHidden) {
  Activate(TestSite::Ambient::RunMode);
  const HWND hwnd = ControlWindow();
  ASSERT_TRUE(IsWindow(hwnd));
  EXPECT_FALSE(GetWindowLongW(hwnd, GWL_STYLE) & WS_VISIBLE);
  UpdateWindow(hwnd);
  ComPtr<IOleControl> control;
  ctrl.As(IID_IOleControl, control);
  EXPECT_EQ(control->OnAmbientPropertyChange(DISPID_AMBIENT_USERMODE), S_OK);
  // The control's hWnd property is the in-place window.
  EXPECT_EQ(Get(ctrl.Get(), L"hWnd").value.AsLong(), HandleToLong(hwnd));
}

TEST_F(TestContainer, LoadingAtRunTimeHidesAndDisablesTheWindow) {
  Activate(TestSite::Ambient::RunMode);
  const HWND hwnd = ControlWindow();
  ShowWindow(hwnd, SW_SHOW);
  ASSERT_TRUE(IsWindowEnabled(hwnd));
  ComPtr<IPersistStreamInit> persist;
  ASSERT_EQ(ctrl.As(IID_IPersistStreamInit, persist), S_OK);
  ComPtr<IStream> stream;
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, stream.Put()), S_OK);
  ASSERT_EQ(persist->Save(stream.Get(), TRUE), S_OK);
  LARGE_INTEGER zero{};
  stream->Seek(zero, STREAM_SEEK_SET, nullptr);
  ASSERT_EQ(persist->Load(stream.Get()), S_OK);
  EXPECT_FALSE(GetWindowLongW(hwnd, GWL_STYLE) & WS_VISIBLE);
  EXPECT_FALSE(IsWindowEnabled(hwnd));
}

TEST_F(TestContainer, DesignTimeDrawingPaintsTheDesignBitmap) {
  Activate(TestSite::Ambient::DesignMode);
  // The design bitmap has a black frame and a navy title bar, drawn over a white fill.
  EXPECT_EQ(PixelAfterDraw(ctrl.Get(), 0, 0, {0, 0, 28, 28}), RGB(0, 0, 0));
  EXPECT_EQ(PixelAfterDraw(ctrl.Get(), 10, 3, {0, 0, 28, 28}), RGB(0, 0, 128));
  EXPECT_EQ(PixelAfterDraw(ctrl.Get(), 14, 16, {0, 0, 28, 28}), RGB(255, 255, 0));
  // Stretched over larger bounds.
  EXPECT_EQ(PixelAfterDraw(ctrl.Get(), 40, 6, {0, 0, 56, 56}), RGB(0, 0, 128));
}

TEST_F(TestContainer, DesignTimeDrawingIntoAMetafileKeepsThePicture) {
  Activate(TestSite::Ambient::DesignMode);
  ComPtr<IViewObject2> view;
  ASSERT_EQ(ctrl.As(IID_IViewObject2, view), S_OK);
  HDC recorder = CreateEnhMetaFileW(nullptr, nullptr, nullptr, nullptr);
  ASSERT_TRUE(recorder);
  RECTL bounds{0, 0, 56, 56};
  ASSERT_EQ(view->Draw(DVASPECT_CONTENT, -1, nullptr, nullptr, nullptr, recorder, &bounds, nullptr, nullptr, 0), S_OK);
  HENHMETAFILE picture = CloseEnhMetaFile(recorder);
  ASSERT_TRUE(picture);
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, 56, 56);
  HGDIOBJ old = SelectObject(memory, bitmap);
  RECT all{0, 0, 56, 56};
  FillRect(memory, &all, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  ASSERT_TRUE(PlayEnhMetaFile(memory, picture, &all));
  // Stretched twice: the navy title bar and the yellow folder of the design picture.
  EXPECT_EQ(GetPixel(memory, 20, 6), RGB(0, 0, 128));
  EXPECT_EQ(GetPixel(memory, 28, 32), RGB(255, 255, 0));
  SelectObject(memory, old);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  DeleteEnhMetaFile(picture);
}

TEST_F(TestContainer, RunTimeDrawingPaintsNothing) {
  Activate(TestSite::Ambient::RunMode);
  EXPECT_EQ(PixelAfterDraw(ctrl.Get(), 10, 3, {0, 0, 28, 28}), RGB(0, 0, 0));
}

TEST_F(TestContainer, PropertyPagesAndMiscStatus) {
  Activate(TestSite::Ambient::DesignMode);
  ComPtr<ISpecifyPropertyPages> pages;
  ASSERT_EQ(ctrl.As(IID_ISpecifyPropertyPages, pages), S_OK);
  CAUUID list{};
  ASSERT_EQ(pages->GetPages(&list), S_OK);
  ASSERT_EQ(list.cElems, 4u);
  EXPECT_TRUE(IsEqualCLSID(list.pElems[0], qz::kClsidGeneralPage));
  EXPECT_TRUE(IsEqualCLSID(list.pElems[1], qz::kClsidMorePage));
  CoTaskMemFree(list.pElems);
  DWORD status = 0;
  ASSERT_EQ(object->GetMiscStatus(DVASPECT_CONTENT, &status), S_OK);
  EXPECT_EQ(status, 0x20191u);
  CLSID clsid{};
  ASSERT_EQ(object->GetUserClassID(&clsid), S_OK);
  EXPECT_TRUE(IsEqualCLSID(clsid, qz::kClsidCtrl));
}

TEST_F(TestContainer, DeactivationDestroysTheWindowAndTellsTheSite) {
  Activate(TestSite::Ambient::DesignMode);
  const HWND hwnd = ControlWindow();
  ComPtr<IOleInPlaceObject> in_place;
  ASSERT_EQ(ctrl.As(IID_IOleInPlaceObject, in_place), S_OK);
  ASSERT_EQ(in_place->InPlaceDeactivate(), S_OK);
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_EQ(site->deactivations, 1);
  // Still usable afterwards, and can be activated again.
  EXPECT_EQ(Put(ctrl.Get(), L"DialogTop", Var(short{2})).hr, S_OK);
  RECT r{0, 0, 28, 28};
  ASSERT_EQ(object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, site.get(), 0, host, &r), S_OK);
  EXPECT_TRUE(IsWindow(ControlWindow()));
}

TEST_F(TestContainer, ExtentFollowsTheContainer) {
  SIZEL size{1000, 500};
  ASSERT_EQ(object->SetExtent(DVASPECT_CONTENT, &size), S_OK);
  SIZEL back{};
  ASSERT_EQ(object->GetExtent(DVASPECT_CONTENT, &back), S_OK);
  EXPECT_EQ(back.cx, 1000);
  EXPECT_EQ(back.cy, 500);
  SIZEL bad{-1, 5};
  EXPECT_EQ(object->SetExtent(DVASPECT_CONTENT, &bad), E_INVALIDARG);
  EXPECT_EQ(object->SetExtent(DVASPECT_ICON, &size), DV_E_DVASPECT);
}

namespace {

class AtlHost : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_EQ(ControlLibrary::Get().register_server(), S_OK);
    atl = LoadLibraryW(L"atl.dll");
    ASSERT_TRUE(atl);
    auto init = reinterpret_cast<BOOL(WINAPI*)()>(reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxWinInit")));
    get_control = reinterpret_cast<HRESULT(WINAPI*)(HWND, IUnknown**)>(
        reinterpret_cast<void*>(GetProcAddress(atl, "AtlAxGetControl")));
    ASSERT_TRUE(init && get_control);
    ASSERT_TRUE(init());
    host = CreateHostWindow();
  }
  void TearDown() override {
    DestroyWindow(host);
    ControlLibrary::Get().unregister_server();
  }
  HMODULE atl = nullptr;
  HRESULT(WINAPI* get_control)(HWND, IUnknown**) = nullptr;
  HWND host = nullptr;
};

}  // namespace

TEST_F(AtlHost, CreatesTheControlByProgIdAndActivatesItInPlace) {
  const HWND ax = CreateWindowW(L"AtlAxWin", qz::kProgIdCtrl, WS_CHILD | WS_VISIBLE, 0, 0, 40, 40, host, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  ASSERT_TRUE(ax);
  ComPtr<IUnknown> unknown;
  ASSERT_EQ(get_control(ax, unknown.Put()), S_OK);
  ComPtr<IDispatch> control;
  ASSERT_EQ(unknown.As(IID_IDispatch, control), S_OK);
  // The host offers no ambient properties: run mode.
  EXPECT_EQ(Get(control.Get(), L"Action").hr, S_OK);
  EXPECT_EQ(Get(control.Get(), L"MaxFileSize").value.AsLong(), 256);
  EXPECT_EQ(Put(control.Get(), L"FileName", Var(L"hosted.txt")).hr, S_OK);
  EXPECT_EQ(Get(control.Get(), L"Filename").value.AsString(), L"hosted.txt");
  ComPtr<IOleInPlaceObject> in_place;
  ASSERT_EQ(unknown.As(IID_IOleInPlaceObject, in_place), S_OK);
  HWND hwnd = nullptr;
  ASSERT_EQ(in_place->GetWindow(&hwnd), S_OK);
  EXPECT_EQ(GetParent(hwnd), ax);
  EXPECT_FALSE(GetWindowLongW(hwnd, GWL_STYLE) & WS_VISIBLE);
  control.Reset();
  in_place.Reset();
  unknown.Reset();
  DestroyWindow(ax);
}

TEST_F(TestContainer, FocusOnTheControlPostsATabToItself) {
  Activate(TestSite::Ambient::DesignMode);
  ShowWindow(host, SW_SHOW);
  const HWND hwnd = ControlWindow();
  MSG stale;
  while (PeekMessageW(&stale, hwnd, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE)) {
  }
  SetFocus(hwnd);
  ASSERT_EQ(GetFocus(), hwnd);
  MSG msg{};
  ASSERT_TRUE(PeekMessageW(&msg, hwnd, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE));
  EXPECT_EQ(msg.wParam, static_cast<WPARAM>(VK_TAB));
  EXPECT_EQ(msg.lParam, 0);
}

TEST_F(TestContainer, ReflectedColourMessagesUseTheStockColoursAndBrush) {
  Activate(TestSite::Ambient::DesignMode);
  const HWND hwnd = ControlWindow();
  HDC dc = CreateCompatibleDC(nullptr);
  for (UINT message : {0x2133u, 0x2135u, 0x2137u, 0x2138u}) {
    SetBkColor(dc, RGB(1, 2, 3));
    SetTextColor(dc, RGB(4, 5, 6));
    const auto brush = reinterpret_cast<HBRUSH>(SendMessageW(hwnd, message, reinterpret_cast<WPARAM>(dc), 0));
    ASSERT_TRUE(brush) << std::hex << message;
    LOGBRUSH info{};
    ASSERT_TRUE(GetObjectW(brush, sizeof info, &info));
    EXPECT_EQ(info.lbColor, GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(GetBkColor(dc), GetSysColor(COLOR_WINDOW));
    EXPECT_EQ(GetTextColor(dc), GetSysColor(COLOR_WINDOWTEXT));
  }
  DeleteDC(dc);
}

TEST_F(TestContainer, ReflectedNotificationReturnsItsParameter) {
  Activate(TestSite::Ambient::DesignMode);
  NMHDR header{ControlWindow(), 7, 0};
  EXPECT_EQ(SendMessageW(ControlWindow(), 0x204E, 7, reinterpret_cast<LPARAM>(&header)),
            reinterpret_cast<LRESULT>(&header));
}

TEST_F(TestContainer, NavigationKeysStayWithTheControl) {
  Activate(TestSite::Ambient::RunMode);
  ComPtr<IOleInPlaceActiveObject> active;
  ASSERT_EQ(ctrl.As(IID_IOleInPlaceActiveObject, active), S_OK);
  MSG msg{ControlWindow(), WM_KEYDOWN, VK_LEFT, 0, 0, {}};
  for (WPARAM key : {VK_PRIOR, VK_NEXT, VK_END, VK_HOME, VK_LEFT, VK_UP, VK_RIGHT, VK_DOWN, VK_INSERT, VK_DELETE}) {
    msg.wParam = key;
    msg.message = WM_KEYDOWN;
    EXPECT_EQ(active->TranslateAccelerator(&msg), S_OK) << key;
    msg.message = WM_KEYUP;
    EXPECT_EQ(active->TranslateAccelerator(&msg), S_OK) << key;
  }
  msg.wParam = 'A';
  msg.message = WM_KEYDOWN;
  EXPECT_EQ(active->TranslateAccelerator(&msg), S_FALSE);
  msg.message = WM_CHAR;
  msg.wParam = VK_LEFT;
  EXPECT_EQ(active->TranslateAccelerator(&msg), S_FALSE);
  EXPECT_EQ(active->TranslateAccelerator(nullptr), E_POINTER);
}

TEST_F(TestContainer, ReflectedColourMessagesPaintChildrenInTheControlColours) {
  Activate(TestSite::Ambient::DesignMode);
  const HWND hwnd = ControlWindow();
  ASSERT_TRUE(IsWindow(hwnd));
  HDC screen = GetDC(nullptr);
  HDC dc = CreateCompatibleDC(screen);
  constexpr UINT kReflected = 0x2000;
  HBRUSH first = nullptr;
  for (UINT message : {WM_CTLCOLOREDIT, WM_CTLCOLORBTN, WM_CTLCOLORSCROLLBAR, WM_CTLCOLORSTATIC}) {
    SetBkColor(dc, RGB(1, 2, 3));
    SetTextColor(dc, RGB(4, 5, 6));
    const auto brush = reinterpret_cast<HBRUSH>(
        SendMessageW(hwnd, kReflected + message, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(hwnd)));
    ASSERT_NE(brush, nullptr) << message;
    LOGBRUSH info{};
    ASSERT_EQ(GetObjectW(brush, sizeof info, &info), static_cast<int>(sizeof info));
    EXPECT_EQ(info.lbColor, GetSysColor(COLOR_WINDOW)) << message;
    EXPECT_EQ(GetBkColor(dc), GetSysColor(COLOR_WINDOW)) << message;
    EXPECT_EQ(GetTextColor(dc), GetSysColor(COLOR_WINDOWTEXT)) << message;
    // One brush serves every message until the background colour changes.
    if (!first) first = brush;
    EXPECT_EQ(brush, first) << message;
  }
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
}

TEST_F(TestContainer, PropertyBrowserGetsNoDisplayStringForTheFont) {
  ComPtr<IPerPropertyBrowsing> browsing;
  ASSERT_EQ(ctrl.As(IID_IPerPropertyBrowsing, browsing), S_OK);
  BSTR text = nullptr;
  EXPECT_EQ(browsing->GetDisplayString(DISPID_FONT, &text), E_NOTIMPL);
  EXPECT_EQ(text, nullptr);
  EXPECT_EQ(browsing->GetDisplayString(1, &text), E_NOTIMPL);
  CLSID page{};
  EXPECT_EQ(browsing->MapPropertyToPage(DISPID_FONT, &page), PERPROP_E_NOPAGEAVAILABLE);
}

TEST(UiActivation, TheFrameLearnsTheActiveObjectAndForgetsIt) {
  const HWND host = CreateHostWindow();
  ShowWindow(host, SW_SHOW);
  TestFrame frame;
  TestSite site(TestSite::Ambient::DesignMode, host, &frame);
  {
    ComPtr<IDispatch> ctrl = CreateControl();
    ComPtr<IOleObject> object;
    ASSERT_EQ(ctrl.As(IID_IOleObject, object), S_OK);
    ASSERT_EQ(object->SetClientSite(&site), S_OK);
    RECT r{0, 0, 28, 28};
    ASSERT_EQ(object->DoVerb(OLEIVERB_UIACTIVATE, nullptr, &site, 0, host, &r), S_OK);
    EXPECT_EQ(site.ui_activations, 1);
    ComPtr<IOleInPlaceActiveObject> active;
    ASSERT_EQ(ctrl.As(IID_IOleInPlaceActiveObject, active), S_OK);
    EXPECT_EQ(frame.active, active.Get());
    ComPtr<IOleInPlaceObject> in_place;
    ASSERT_EQ(ctrl.As(IID_IOleInPlaceObject, in_place), S_OK);
    HWND hwnd = nullptr;
    in_place->GetWindow(&hwnd);
    EXPECT_EQ(GetFocus(), hwnd);
    ASSERT_EQ(in_place->UIDeactivate(), S_OK);
    EXPECT_EQ(frame.active, nullptr);
    EXPECT_EQ(site.ui_deactivations, 1);
    EXPECT_EQ(in_place->InPlaceDeactivate(), S_OK);
    EXPECT_EQ(site.deactivations, 1);
    // The properties verb opens the page frame: see the property frame tests.
    EXPECT_EQ(object->DoVerb(12345, nullptr, &site, 0, host, &r), OLEOBJ_S_INVALIDVERB);
    object->Close(OLECLOSE_NOSAVE);
    object->SetClientSite(nullptr);
  }
  DestroyWindow(host);
}
