// The font dialog's request as the system receives it, and what the control makes of the
// system's answer, with the system dialog replaced by a fake.
#include <cstring>
#include <string>
#include <vector>

#include "fake_dialogs.h"

using namespace qztest;

namespace {

int CALLBACK CollectFace(const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM faces) {
  if (font->lfFaceName[0] != '@') reinterpret_cast<std::vector<std::string>*>(faces)->push_back(font->lfFaceName);
  return 1;
}

std::string OtherInstalledFace(const std::wstring& current) {
  std::vector<std::string> faces;
  HDC dc = GetDC(nullptr);
  LOGFONTA any{};
  any.lfCharSet = DEFAULT_CHARSET;
  EnumFontFamiliesExA(dc, &any, CollectFace, reinterpret_cast<LPARAM>(&faces), 0);
  ReleaseDC(nullptr, dc);
  for (const std::string& face : faces)
    if (std::wstring(face.begin(), face.end()) != current) return face;
  return {};
}

void CopyFace(LOGFONTA& font, const std::string& face) {
  std::strncpy(font.lfFaceName, face.c_str(), LF_FACESIZE - 1);
}

class FontRequest : public FakeDialogTest {
protected:
  // Runs ShowFont, keeping copies of the request and its LOGFONT as the fake received them.
  CallResult ShowFont() {
    Fakes().on_font = [this](CHOOSEFONTA& request) {
      seen = request;
      if (request.lpLogFont) seen_font = *request.lpLogFont;
      if (answer_font) {
        *request.lpLogFont = *answer_font;
        request.iPointSize = answer_tenths;
        request.rgbColors = answer_color;
      }
    };
    return Call(control.Get(), L"ShowFont");
  }
  static int ScreenDpiY() {
    HDC dc = GetDC(nullptr);
    const int dpi = GetDeviceCaps(dc, LOGPIXELSY);
    ReleaseDC(nullptr, dc);
    return dpi;
  }
  CHOOSEFONTA seen{};
  LOGFONTA seen_font{};
  const LOGFONTA* answer_font = nullptr;
  INT answer_tenths = 0;
  COLORREF answer_color = 0;
};

}  // namespace

TEST_F(FontRequest, TheRequestCarriesTheFontColourLimitsAndHook) {
  Put(control.Get(), L"FontName", Var(L"Courier New"));
  Put(control.Get(), L"FontBold", Var(true));
  Put(control.Get(), L"FontItalic", Var(true));
  Put(control.Get(), L"FontStrikeThru", Var(true));
  Put(control.Get(), L"Color", Var(0x112233L));
  Put(control.Get(), L"Min", Var(short{8}));
  Put(control.Get(), L"Max", Var(short{12}));
  Put(control.Get(), L"Flags", Var(0x2000L));  // limit sizes; neither screen nor printer fonts
  Fakes().answer = FALSE;
  ASSERT_EQ(ShowFont().hr, S_OK);
  ASSERT_EQ(Fakes().calls, 1);
  EXPECT_EQ(seen.lStructSize, sizeof(CHOOSEFONTA));
  if (sizeof(void*) == 4) {
    EXPECT_EQ(seen.lStructSize, 60u);
  }
  EXPECT_EQ(seen.hwndOwner, GetParent(ControlWindow()));
  EXPECT_EQ(seen.lCustData, reinterpret_cast<LPARAM>(ControlWindow()));
  EXPECT_EQ(seen.hDC, nullptr);
  EXPECT_EQ(seen.Flags, 0x2000u | 0x3u | 0x8u | 0x40u);
  EXPECT_EQ(seen.rgbColors, 0x112233u);
  EXPECT_EQ(seen.nSizeMin, 8);
  EXPECT_EQ(seen.nSizeMax, 12);
  EXPECT_NE(seen.lpszStyle, nullptr);
  EXPECT_EQ(seen.lpTemplateName, nullptr);
  EXPECT_EQ(seen.hInstance, nullptr);
  EXPECT_EQ(seen_font.lfWeight, 700);
  EXPECT_EQ(seen_font.lfItalic, 1);
  EXPECT_EQ(seen_font.lfUnderline, 0);
  EXPECT_EQ(seen_font.lfStrikeOut, 1);
  const std::wstring name = Get(control.Get(), L"FontName").value.AsString();
  EXPECT_EQ(std::string(seen_font.lfFaceName), std::string(name.begin(), name.end()));
}

TEST_F(FontRequest, TheHeightCountsWholePointsAtTheWindowsResolution) {
  Put(control.Get(), L"FontSize", Var(9.5));
  const float size = Get(control.Get(), L"FontSize").value.v.fltVal;
  ASSERT_GE(size, 9.0f);
  ASSERT_LT(size, 10.0f);
  Fakes().answer = FALSE;
  ShowFont();
  EXPECT_EQ(seen_font.lfHeight, -MulDiv(9, ScreenDpiY(), 72));
  if (ScreenDpiY() == 96) {
    EXPECT_EQ(seen_font.lfHeight, -12);
  }
}

TEST_F(FontRequest, OkWritesTheFontAndNotifiesInOrder) {
  // A face this machine has, other than the font's own, so the font object keeps it.
  const std::string other = OtherInstalledFace(Get(control.Get(), L"FontName").value.AsString());
  ASSERT_FALSE(other.empty());
  LOGFONTA chosen{};
  CopyFace(chosen, other);
  chosen.lfWeight = 700;
  chosen.lfUnderline = 1;
  answer_font = &chosen;
  answer_tenths = 150;  // 20 pixels at 96 dots per inch, so the font keeps it exactly
  answer_color = 0x0000FF;
  notify.changed.clear();
  ASSERT_EQ(ShowFont().hr, S_OK);
  EXPECT_EQ(notify.changed, (std::vector<DISPID>{qz::kFontName, qz::kFontSize, qz::kFontBold, qz::kFontItalic,
                                                  qz::kFontStrikeThru, qz::kFontUnderline, qz::kColor}));
  const float size = Get(control.Get(), L"FontSize").value.v.fltVal;
  EXPECT_TRUE(Get(control.Get(), L"FontBold").value.AsBool());
  EXPECT_TRUE(Get(control.Get(), L"FontUnderline").value.AsBool());
  EXPECT_FALSE(Get(control.Get(), L"FontItalic").value.AsBool());
  EXPECT_EQ(Get(control.Get(), L"FontName").value.AsString(), std::wstring(other.begin(), other.end()));
  EXPECT_EQ(Long(L"Color"), 0x0000FF);
  EXPECT_EQ(Long(L"Flags"), 0);  // not written back
  // The font object snaps sizes to its realised height; 15 points set directly snap alike.
  Put(control.Get(), L"FontSize", Var(15.0));
  EXPECT_FLOAT_EQ(size, Get(control.Get(), L"FontSize").value.v.fltVal);
}

TEST_F(FontRequest, SemiboldIsNotBold) {
  Put(control.Get(), L"FontBold", Var(true));
  LOGFONTA chosen{};
  std::strcpy(chosen.lfFaceName, "Semi");
  chosen.lfWeight = 600;
  answer_font = &chosen;
  answer_tenths = 100;
  ASSERT_EQ(ShowFont().hr, S_OK);
  EXPECT_FALSE(Get(control.Get(), L"FontBold").value.AsBool());
}

TEST_F(FontRequest, WithoutAFontObjectTheDialogStartsAtEightPointsAndOnlyColourChanges) {
  Var nothing;
  nothing.v.vt = VT_DISPATCH;
  nothing.v.pdispVal = nullptr;
  ASSERT_EQ(Put(control.Get(), L"Font", nothing).hr, S_OK);
  LOGFONTA chosen{};
  std::strcpy(chosen.lfFaceName, "Ignored");
  answer_font = &chosen;
  answer_tenths = 200;
  answer_color = 0x00FF00;
  notify.changed.clear();
  ASSERT_EQ(ShowFont().hr, S_OK);
  EXPECT_EQ(seen_font.lfHeight, -MulDiv(8, ScreenDpiY(), 72));
  EXPECT_STREQ(seen_font.lfFaceName, "");
  EXPECT_EQ(seen_font.lfWeight, 400);
  EXPECT_EQ(notify.changed, std::vector<DISPID>{qz::kColor});
  EXPECT_EQ(Long(L"Color"), 0x00FF00);
  EXPECT_EQ(Get(control.Get(), L"FontName").value.AsString(), L"");
}

TEST_F(FontRequest, CancelChangesNothing) {
  Put(control.Get(), L"Color", Var(0x445566L));
  const std::wstring name = Get(control.Get(), L"FontName").value.AsString();
  Fakes().answer = FALSE;
  notify.changed.clear();
  ASSERT_EQ(ShowFont().hr, S_OK);
  EXPECT_TRUE(notify.changed.empty());
  EXPECT_EQ(Long(L"Color"), 0x445566);
  EXPECT_EQ(Get(control.Get(), L"FontName").value.AsString(), name);
  EXPECT_EQ(Long(L"Action"), 4);
}

TEST_F(FontRequest, EveryFlagBitIsPassedThroughWithoutHarm) {
  Put(control.Get(), L"Flags", Var(-1L));
  Fakes().answer = FALSE;
  Fakes().extended_error = 0x0003;  // what the system says about the template flags
  EXPECT_EQ(ShowFont().hr, S_OK);
  EXPECT_EQ(seen.Flags, 0xFFFFFFFFu);
}

// The default printer entry names the display driver here, which every machine can open.
TEST_F(FontRequest, ScreenOrPrinterFontsBringTheDefaultPrintersContextForTheDialogOnly) {
  struct SavedEntry {
    char text[256] = {};
    SavedEntry() { GetProfileStringA("windows", "device", "<none>", text, sizeof text); }
    ~SavedEntry() { WriteProfileStringA("windows", "device", std::string(text) == "<none>" ? nullptr : text); }
  } saved;
  WriteProfileStringA("windows", "device", "Screen,DISPLAY,NUL:");
  Fakes().answer = FALSE;
  HDC during = nullptr;
  DWORD kind_during = 0;
  Fakes().on_font = [&](CHOOSEFONTA& request) {
    during = request.hDC;
    kind_during = GetObjectType(request.hDC);
  };
  for (long flags : {1L, 2L}) {
    Put(control.Get(), L"Flags", Var(flags));
    Call(control.Get(), L"ShowFont");
    EXPECT_NE(during, nullptr) << flags;
    EXPECT_NE(kind_during, 0u) << flags;
    EXPECT_EQ(GetObjectType(during), 0u) << "deleted after the dialog, flags " << flags;
  }
  WriteProfileStringA("windows", "device", "Screen,DISPLAY");  // no port: no context
  Put(control.Get(), L"Flags", Var(1L));
  Call(control.Get(), L"ShowFont");
  EXPECT_EQ(during, nullptr);
}
