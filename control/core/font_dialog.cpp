// The font dialog: the stock font and Color handed to the system dialog and read back from it.
#include <windows.h>
#include <commdlg.h>

#include <cmath>
#include <string>

#include "bounded_copy.h"
#include "default_printer.h"
#include "dialog_hooks.h"
#include "qzcommdl_ctrl.h"
#include "system_calls.h"
#include "text_convert.h"

namespace qz {
namespace {

// The layout of the 32-bit build.
static_assert(sizeof(void*) != 4 || sizeof(CHOOSEFONTA) == 60);

constexpr float kSizeWithoutFont = 8.0f;
constexpr size_t kStyleBufferSize = 64;  // the dialog writes a style name of up to LF_FACESIZE
constexpr LONG kBoldWeight = 700;

struct FontState {
  std::string name;
  bool bold = false, italic = false, underline = false, strikethrough = false;
  float size = kSizeWithoutFont;
};

FontState ReadFont(IFont* font) {
  FontState state;
  if (!font) return state;
  BSTR name = nullptr;
  if (SUCCEEDED(font->get_Name(&name)) && name) state.name = qzf::Narrow(std::wstring_view(name, SysStringLen(name)));
  SysFreeString(name);
  BOOL flag = FALSE;
  if (SUCCEEDED(font->get_Bold(&flag))) state.bold = flag;
  flag = FALSE;
  if (SUCCEEDED(font->get_Italic(&flag))) state.italic = flag;
  flag = FALSE;
  if (SUCCEEDED(font->get_Strikethrough(&flag))) state.strikethrough = flag;
  flag = FALSE;
  if (SUCCEEDED(font->get_Underline(&flag))) state.underline = flag;
  CY size{};
  if (SUCCEEDED(font->get_Size(&size))) state.size = static_cast<float>(static_cast<double>(size.int64) / 10000.0);
  return state;
}

int PixelsPerInchY(HWND window) {
  HDC dc = GetDC(window);
  const int dpi = dc ? GetDeviceCaps(dc, LOGPIXELSY) : 96;
  if (dc) ReleaseDC(window, dc);
  return dpi;
}

LOGFONTA LogFontOf(const FontState& state, HWND window) {
  LOGFONTA font{};
  CopyCut(font.lfFaceName, sizeof font.lfFaceName, state.name);
  font.lfWeight = state.bold ? kBoldWeight : FW_NORMAL;
  font.lfItalic = state.italic;
  font.lfUnderline = state.underline;
  font.lfStrikeOut = state.strikethrough;
  // Whole points only: 8.75 points count as 8.
  const int points = static_cast<int>(state.size);
  font.lfHeight = -MulDiv(points, PixelsPerInchY(window), 72);
  return font;
}

void WriteFont(IFont* font, const LOGFONTA& chosen, INT tenths_of_points) {
  char face[LF_FACESIZE + 1] = {};
  CopyCut(face, sizeof face, std::string_view(chosen.lfFaceName, strnlen(chosen.lfFaceName, LF_FACESIZE)));
  BSTR name = qzf::AllocBstrFromAnsi(face);
  font->put_Name(name);
  SysFreeString(name);
  const float points = static_cast<float>(tenths_of_points) / 10.0f;
  CY size{};
  size.int64 = static_cast<LONGLONG>(std::llround(static_cast<double>(points) * 10000.0));
  font->put_Size(size);
  font->put_Bold(chosen.lfWeight >= kBoldWeight);
  font->put_Italic(chosen.lfItalic != 0);
  font->put_Underline(chosen.lfUnderline != 0);
  font->put_Strikethrough(chosen.lfStrikeOut != 0);
}

}  // namespace

long CQzcommdlCtrl::RunFontDialog() {
  const HWND focus = GetFocus();
  const HWND control = EnsureWindow();
  IFont* const font = StockFont().Get();
  LOGFONTA log_font = LogFontOf(ReadFont(font), control);
  char style[kStyleBufferSize] = {};

  CHOOSEFONTA request{};
  request.lStructSize = sizeof request;
  request.hwndOwner = GetParent(control);
  request.hDC = (flags_ & CF_BOTH) ? DefaultPrinterDC() : nullptr;
  request.lpLogFont = &log_font;
  request.Flags = static_cast<DWORD>(flags_) | CF_BOTH | CF_ENABLEHOOK | CF_INITTOLOGFONTSTRUCT;
  request.rgbColors = color_.value;
  request.lCustData = reinterpret_cast<LPARAM>(control);
  request.lpfnHook = reinterpret_cast<LPCFHOOKPROC>(reinterpret_cast<void*>(ExportedHook("CommdlgFontHook")));
  request.lpszStyle = style;
  request.nSizeMin = min_;
  request.nSizeMax = max_;

  const SystemCalls& calls = TheSystemCalls();
  const BOOL chosen = calls.choose_font(&request);
  const DWORD error = chosen ? 0 : calls.extended_error();
  if (request.hDC) DeleteDC(request.hDC);
  if (focus && IsWindow(focus)) SetFocus(focus);
  if (!chosen) return FailedDialogResult(error);

  color_.value = request.rgbColors;
  if (font) {
    WriteFont(font, log_font, request.iPointSize);
    for (DISPID id : {kFontName, kFontSize, kFontBold, kFontItalic, kFontStrikeThru, kFontUnderline})
      BoundPropertyChanged(id);
  }
  BoundPropertyChanged(kColor);
  SetModifiedFlag(true);
  return 0;
}

}  // namespace qz
