// The exported unit conversions, called through the module's export table as another module would.
#include <gtest/gtest.h>

#include <vector>

#include "device_context.h"
#include "ole_control.h"
#include "test_support.h"

using namespace qztest;

namespace {

template <class F>
F Export(const char* name) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(ControlLibrary::Get().module, name)));
}

using HimetricToPixels = int (*)(long);
using HimetricToPixelsOn = int (*)(long, CDC*);
using PixelsToHimetric = long (*)(long);
using TwipConversion = int (*)(int, CDC*);
using ToHimetric = long (*)(qzf::OleControl*, float);
using ToContainer = float (*)(qzf::OleControl*, long);

// A site whose container unit is half a HIMETRIC unit (positions shifted by 1000) and that
// records the flags it was asked with.
class ConvertingSite : public IOleClientSite, public IOleControlSite {
public:
  explicit ConvertingSite(bool converts) : converts_(converts) {}
  std::vector<DWORD> flags;

  STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
    *out = nullptr;
    if (iid == IID_IUnknown || iid == IID_IOleClientSite) *out = static_cast<IOleClientSite*>(this);
    else if (iid == IID_IOleControlSite && converts_) *out = static_cast<IOleControlSite*>(this);
    else return E_NOINTERFACE;
    AddRef();
    return S_OK;
  }
  STDMETHODIMP_(ULONG) AddRef() override { return ++refs_; }
  STDMETHODIMP_(ULONG) Release() override { return --refs_; }
  STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
  STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker**) override { return E_NOTIMPL; }
  STDMETHODIMP GetContainer(IOleContainer** out) override { *out = nullptr; return E_NOINTERFACE; }
  STDMETHODIMP ShowObject() override { return S_OK; }
  STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
  STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }
  STDMETHODIMP OnControlInfoChanged() override { return S_OK; }
  STDMETHODIMP LockInPlaceActive(BOOL) override { return S_OK; }
  STDMETHODIMP GetExtendedControl(IDispatch** out) override { *out = nullptr; return E_NOTIMPL; }
  STDMETHODIMP TransformCoords(POINTL* himetric, POINTF* container, DWORD how) override {
    flags.push_back(how);
    const float shift = (how & XFORMCOORDS_POSITION) ? 1000.0f : 0.0f;
    if (how & XFORMCOORDS_HIMETRICTOCONTAINER) {
      container->x = himetric->x / 2.0f + shift;
      container->y = himetric->y / 2.0f + shift;
    } else {
      himetric->x = static_cast<LONG>(container->x * 2 + shift);
      himetric->y = static_cast<LONG>(container->y * 2 + shift);
    }
    return S_OK;
  }
  STDMETHODIMP TranslateAccelerator(MSG*, DWORD) override { return S_FALSE; }
  STDMETHODIMP OnFocus(BOOL) override { return S_OK; }
  STDMETHODIMP ShowPropertyFrame() override { return E_NOTIMPL; }

private:
  bool converts_;
  ULONG refs_ = 1;
};

// The control in a site, seen as the framework class the conversions take.
struct SitedControl {
  ComPtr<IDispatch> dispatch = CreateControl();
  ComPtr<IOleObject> object;
  explicit SitedControl(IOleClientSite* site) {
    if (dispatch && SUCCEEDED(dispatch.As(IID_IOleObject, object))) object->SetClientSite(site);
  }
  ~SitedControl() { if (object) object->SetClientSite(nullptr); }
  qzf::OleControl* Get() const { return static_cast<qzf::OleControl*>(dispatch.Get()); }
};

int ScreenDpiX() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return dpi;
}

}  // namespace

TEST(UnitConversion, HimetricAndPixelsAtTheScreenResolution) {
  ASSERT_EQ(ScreenDpiX(), 96) << "these values are for a 96 dpi screen";
  const auto x_to_pixels = Export<HimetricToPixels>("_Z17XHimetricToPixelsl");
  const auto y_to_pixels = Export<HimetricToPixels>("_Z17YHimetricToPixelsl");
  const auto x_to_himetric = Export<PixelsToHimetric>("_Z17XPixelsToHimetricl");
  const auto y_to_himetric = Export<PixelsToHimetric>("_Z17YPixelsToHimetricl");
  ASSERT_TRUE(x_to_pixels && y_to_pixels && x_to_himetric && y_to_himetric);
  EXPECT_EQ(x_to_pixels(2540), 96);
  EXPECT_EQ(x_to_pixels(1), 0);
  EXPECT_EQ(y_to_pixels(5080), 192);
  EXPECT_EQ(x_to_himetric(96), 2540);
  EXPECT_EQ(x_to_himetric(1), 26);
  EXPECT_EQ(y_to_himetric(-48), -1270);
}

TEST(UnitConversion, TwoArgumentFormMeasuresTheOutputContextOrTheScreen) {
  const auto x_on = Export<HimetricToPixelsOn>("_Z17XHimetricToPixelslP3CDC");
  const auto y_on = Export<HimetricToPixelsOn>("_Z17YHimetricToPixelslP3CDC");
  ASSERT_TRUE(x_on && y_on);
  EXPECT_EQ(x_on(2540, nullptr), ScreenDpiX());
  CDC no_output;  // an output handle of null measures the screen
  EXPECT_EQ(y_on(2540, &no_output), ScreenDpiX());
  HDC memory = CreateCompatibleDC(nullptr);
  CDC with_output;
  with_output.m_hDC = memory;
  EXPECT_EQ(x_on(2540, &with_output), GetDeviceCaps(memory, LOGPIXELSX));
  EXPECT_NE(GetObjectType(memory), 0u) << "the caller's context stays open";
  DeleteDC(memory);
}

TEST(UnitConversion, TwipsUseTheTruncatedFactorOfTheAttributeContext) {
  ASSERT_EQ(ScreenDpiX(), 96);
  const auto x_to_twips = Export<TwipConversion>("_Z14XPixelsToTwipsiP3CDC");
  const auto y_to_twips = Export<TwipConversion>("_Z14YPixelsToTwipsiP3CDC");
  const auto x_to_pixels = Export<TwipConversion>("_Z14XTwipsToPixelsiP3CDC");
  const auto y_to_pixels = Export<TwipConversion>("_Z14YTwipsToPixelsiP3CDC");
  ASSERT_TRUE(x_to_twips && y_to_twips && x_to_pixels && y_to_pixels);
  EXPECT_EQ(x_to_twips(10, nullptr), 150);
  EXPECT_EQ(y_to_twips(-2, nullptr), -30);
  const struct { int twips, pixels; } rounding[] = {{7, 0}, {8, 1}, {22, 1}, {23, 2}, {-8, 0}, {-23, -1}};
  for (const auto& row : rounding) EXPECT_EQ(x_to_pixels(row.twips, nullptr), row.pixels) << row.twips;
  EXPECT_EQ(y_to_pixels(1440, nullptr), 96);

  HDC memory = CreateCompatibleDC(nullptr);
  CDC measured;
  measured.m_hAttribDC = memory;
  EXPECT_EQ(x_to_twips(4, &measured), 4 * (1440 / GetDeviceCaps(memory, LOGPIXELSX)));
  DeleteDC(memory);
  // A context pair without an attribute context has no resolution: 0, and no division by zero.
  CDC unmeasured;
  unmeasured.m_hDC = GetDC(nullptr);
  EXPECT_EQ(x_to_twips(10, &unmeasured), 0);
  EXPECT_EQ(y_to_pixels(1440, &unmeasured), 0);
  ReleaseDC(nullptr, unmeasured.m_hDC);
}

TEST(UnitConversion, ContainerFunctionsAskTheSiteWithTheirFlags) {
  const auto x_in = Export<ToHimetric>("_Z20XContainerToHimetricPN3qzf10OleControlEf");
  const auto y_in = Export<ToHimetric>("_Z20YContainerToHimetricPN3qzf10OleControlEf");
  const auto width_in = Export<ToHimetric>("_Z24WidthContainerToHimetricPN3qzf10OleControlEf");
  const auto height_in = Export<ToHimetric>("_Z25HeightContainerToHimetricPN3qzf10OleControlEf");
  const auto x_out = Export<ToContainer>("_Z20XHimetricToContainerPN3qzf10OleControlEl");
  const auto y_out = Export<ToContainer>("_Z20YHimetricToContainerPN3qzf10OleControlEl");
  ASSERT_TRUE(x_in && y_in && width_in && height_in && x_out && y_out);
  ConvertingSite site(true);
  SitedControl control(&site);
  ASSERT_TRUE(control.object);
  EXPECT_EQ(x_in(control.Get(), 10.0f), 1020);
  EXPECT_EQ(y_in(control.Get(), 20.0f), 1040);
  EXPECT_EQ(width_in(control.Get(), 10.0f), 20);
  EXPECT_EQ(height_in(control.Get(), 30.0f), 60);
  // The X and Y names convert as a size, like the width and height names.
  EXPECT_FLOAT_EQ(x_out(control.Get(), 300), 150.0f);
  EXPECT_FLOAT_EQ(y_out(control.Get(), 500), 250.0f);
  EXPECT_EQ(site.flags, (std::vector<DWORD>{9, 9, 10, 10, 6, 6}));
}

TEST(UnitConversion, WidthAndHeightToContainerAreTheSameEntryPoints) {
  const auto module = ControlLibrary::Get().module;
  EXPECT_EQ(GetProcAddress(module, "_Z20XHimetricToContainerPN3qzf10OleControlEl"),
            GetProcAddress(module, "_Z24WidthHimetricToContainerPN3qzf10OleControlEl"));
  EXPECT_EQ(GetProcAddress(module, "_Z20YHimetricToContainerPN3qzf10OleControlEl"),
            GetProcAddress(module, "_Z25HeightHimetricToContainerPN3qzf10OleControlEl"));
  EXPECT_NE(GetProcAddress(module, "_Z24WidthHimetricToContainerPN3qzf10OleControlEl"), nullptr);
}

TEST(UnitConversion, ASiteThatCannotConvertYieldsZero) {
  const auto x_in = Export<ToHimetric>("_Z20XContainerToHimetricPN3qzf10OleControlEf");
  const auto height_out = Export<ToContainer>("_Z25HeightHimetricToContainerPN3qzf10OleControlEl");
  ASSERT_TRUE(x_in && height_out);
  ConvertingSite site(false);
  SitedControl control(&site);
  ASSERT_TRUE(control.object);
  EXPECT_EQ(x_in(control.Get(), 10.0f), 0);
  EXPECT_FLOAT_EQ(height_out(control.Get(), 300), 0.0f);
  EXPECT_TRUE(site.flags.empty());
}
