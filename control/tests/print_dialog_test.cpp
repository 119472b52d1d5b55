// The print and print-setup dialogs as a person uses them. Run by scripts/control-test.sh, they
// meet real printers: the test bed's PDF print queues, named in QZ_TEST_PRINTERS (the first is
// the default), whose PDFs land in QZ_TEST_PRINT_OUTPUT. The NoPrinter tests run with the print
// server out of reach, as on a machine without any printer.
#include <gtest/gtest.h>
#include <windows.h>
#include <commdlg.h>
#include <winspool.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <functional>
#include <iterator>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "dialog_driver.h"
#include "printer_profile.h"
#include "qzcommdl_ids.h"
#include "test_support.h"

using namespace qztest;

namespace {

// Fields of the system print dialog.
constexpr int kPrinterList = 0x473;  // cmb4
constexpr int kFromField = 0x480;    // edt1
constexpr int kToField = 0x481;      // edt2
constexpr int kCopiesField = 0x482;  // edt3
constexpr int kCollateBox = 0x411;   // chx2
constexpr long kReturnDcAndHooks = 0x3100;
constexpr long kPrintSetup = 0x40, kReturnDc = 0x100, kReturnDefault = 0x400;

std::string Environment(const char* name) {
  char value[1024] = {};
  const DWORD n = GetEnvironmentVariableA(name, value, sizeof value);
  return n > 0 && n < sizeof value ? std::string(value, n) : std::string();
}

std::vector<std::string> InstalledPrinters() {
  DWORD needed = 0, count = 0;
  EnumPrintersA(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 4, nullptr, 0, &needed, &count);
  std::vector<BYTE> buffer(needed);
  std::vector<std::string> names;
  if (needed == 0 ||
      !EnumPrintersA(PRINTER_ENUM_LOCAL | PRINTER_ENUM_CONNECTIONS, nullptr, 4, buffer.data(), needed, &needed, &count))
    return names;
  const auto* info = reinterpret_cast<const PRINTER_INFO_4A*>(buffer.data());
  for (DWORD i = 0; i < count; ++i) names.emplace_back(info[i].pPrinterName);
  return names;
}

std::string FieldText(HWND dialog, int id) {
  char text[64] = {};
  GetDlgItemTextA(dialog, id, text, sizeof text);
  return text;
}

void PressOk(HWND dialog) { PostMessageA(dialog, WM_COMMAND, IDOK, 0); }

// Picks a printer in the print dialog's list as a person does, then confirms.
void ChoosePrinterAndOk(HWND dialog, const std::string& name) {
  const HWND list = GetDlgItem(dialog, kPrinterList);
  const LRESULT index = SendMessageA(list, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                     reinterpret_cast<LPARAM>(name.c_str()));
  SendMessageA(list, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
  SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(kPrinterList, CBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
  PressOk(dialog);
}

// A Windows path for a folder of the machine running the tests (Wine's drive Z: is the root).
std::string WindowsPath(std::string path) {
  std::replace(path.begin(), path.end(), '/', '\\');
  return "Z:" + path;
}

// The contents of the first PDF named after `document` that appears in `folder`, or "".
std::string AwaitPrintedFile(const std::string& folder, const std::string& document) {
  const auto give_up = std::chrono::steady_clock::now() + std::chrono::seconds(45);
  while (std::chrono::steady_clock::now() < give_up) {
    WIN32_FIND_DATAA found{};
    const std::string pattern = folder + "\\" + document + "*.pdf";
    const HANDLE search = FindFirstFileA(pattern.c_str(), &found);
    if (search != INVALID_HANDLE_VALUE) {
      FindClose(search);
      const std::string path = folder + "\\" + found.cFileName;
      std::ifstream in(path, std::ios::binary);
      const std::string contents{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
      // The backend writes the file in pieces; it is done when the trailer is there.
      if (contents.find("%%EOF") != std::string::npos) {
        in.close();
        DeleteFileA(path.c_str());
        return contents;
      }
    }
    Sleep(200);
  }
  return {};
}

// The control and its events, against the test bed's printers; skipped without them.
class RealPrinter : public testing::Test {
protected:
  void SetUp() override {
    std::istringstream names(Environment("QZ_TEST_PRINTERS"));
    printers.assign(std::istream_iterator<std::string>(names), std::istream_iterator<std::string>());
    const std::vector<std::string> installed = InstalledPrinters();
    const bool present = std::all_of(printers.begin(), printers.end(), [&](const std::string& p) {
      return std::find(installed.begin(), installed.end(), p) != installed.end();
    });
    if (printers.size() < 2 || !present) GTEST_SKIP() << "no test print queues; run through scripts/control-test.sh";
    saved_device = ProfileDevice();
    ASSERT_TRUE(control);
    ASSERT_NE(Connect(control.Get(), qz::kDiidEvents, &sink), 0u);
  }
  void TearDown() override {
    if (!saved_device.empty()) WriteProfileStringA("windows", "device", saved_device.c_str());
  }
  long Long(const wchar_t* name) { return Get(control.Get(), name).value.AsLong(); }
  HDC Context() { return static_cast<HDC>(LongToHandle(Long(L"hDC"))); }
  std::vector<long> Kinds(DISPID id) const {
    std::vector<long> kinds;
    for (const auto& e : sink.events)
      if (e.id == id) kinds.push_back(e.args[1].AsLong());
    return kinds;
  }
  // ShowPrinter while `act` drives the dialog as a person would; `saw_dialog` tells whether one appeared.
  CallResult Show(const std::function<void(HWND)>& act, bool* saw_dialog = nullptr) {
    DialogDriver driver(act);
    CallResult result = Call(control.Get(), L"ShowPrinter");
    driver.Finish();
    if (saw_dialog) *saw_dialog = driver.saw_dialog;
    return result;
  }
  std::string DeviceEntryOf(const std::string& printer) const { return printer + ",wineps.drv,CUPS:" + printer; }

  std::vector<std::string> printers;
  std::string saved_device;
  ComPtr<IDispatch> control = CreateControl();
  EventSink sink{qz::kDiidEvents};
};

// A control on a machine without printers. QZ_EXPECT_NO_PRINTER is set for the run without a
// print server, where a visible printer is a fault of the test bed.
class NoPrinter : public testing::Test {
protected:
  void SetUp() override {
    if (!InstalledPrinters().empty()) {
      ASSERT_TRUE(Environment("QZ_EXPECT_NO_PRINTER").empty()) << "a printer is visible without a print server";
      GTEST_SKIP() << "this machine has a printer";
    }
    ASSERT_TRUE(control);
  }
  ComPtr<IDispatch> control = CreateControl();
};

}  // namespace

TEST_F(RealPrinter, OkReturnsAPrinterContextAndWhatTheUserLeftInTheDialog) {
  Put(control.Get(), L"PrinterDefault", Var(false));
  const std::pair<const wchar_t*, short> pages[] = {{L"Copies", 3}, {L"FromPage", 2}, {L"ToPage", 5}, {L"Min", 1}, {L"Max", 10}};
  for (const auto& [name, value] : pages) Put(control.Get(), name, Var(value));
  Put(control.Get(), L"Flags", Var(2L));  // page numbers
  std::string shown;
  bool saw_dialog = false;
  const CallResult result = Show(
      [&](HWND dialog) {
        shown = FieldText(dialog, kFromField) + "-" + FieldText(dialog, kToField) + " x" + FieldText(dialog, kCopiesField);
        SetDlgItemTextA(dialog, kFromField, "3");
        SetDlgItemTextA(dialog, kToField, "4");
        SetDlgItemTextA(dialog, kCopiesField, "2");
        CheckDlgButton(dialog, kCollateBox, BST_CHECKED);
        PressOk(dialog);
      },
      &saw_dialog);
  ASSERT_TRUE(saw_dialog);
  ASSERT_EQ(result.hr, S_OK) << result.ErrorNumber();
  EXPECT_EQ(shown, "2-5 x3");
  const HDC dc = Context();
  EXPECT_EQ(GetObjectType(dc), static_cast<DWORD>(OBJ_DC));
  EXPECT_EQ(GetDeviceCaps(dc, TECHNOLOGY), DT_RASPRINTER);
  EXPECT_EQ(Long(L"FromPage"), 3);
  EXPECT_EQ(Long(L"ToPage"), 4);
  EXPECT_EQ(Long(L"Min"), 1);
  EXPECT_EQ(Long(L"Max"), 10);
  EXPECT_EQ(Long(L"Copies"), 2);
  EXPECT_EQ(Long(L"Flags"), kReturnDcAndHooks | PD_PAGENUMS | PD_COLLATE);
  EXPECT_EQ(Kinds(qz::kCommonDialogOpened), std::vector<long>{5});
  EXPECT_EQ(Kinds(qz::kCommonDialogClosed), std::vector<long>{5});
  EXPECT_EQ(Long(L"DialogHwnd"), 0);
}

// The context lives until the next print dialog starts or the control's window goes; a cancel
// raises 32755 only with CancelError.
TEST_F(RealPrinter, TheContextLivesUntilTheNextDialogOrTheWindowGoes) {
  Put(control.Get(), L"PrinterDefault", Var(false));
  ASSERT_EQ(Show(PressOk).hr, S_OK);
  const HDC first = Context();
  ASSERT_EQ(GetObjectType(first), static_cast<DWORD>(OBJ_DC));
  const long copies = Long(L"Copies"), flags = Long(L"Flags");
  for (bool cancel_error : {false, true}) {
    Put(control.Get(), L"CancelError", Var(cancel_error));
    bool saw_dialog = false;
    const CallResult cancelled = Show(PressCancel, &saw_dialog);
    EXPECT_TRUE(saw_dialog);
    EXPECT_EQ(cancelled.ErrorNumber(), cancel_error ? 32755 : 0);
    EXPECT_EQ(Long(L"hDC"), 0);
    EXPECT_EQ(Long(L"Copies"), copies);
    EXPECT_EQ(Long(L"Flags"), flags);
  }
  EXPECT_EQ(GetObjectType(first), 0u);
  Put(control.Get(), L"CancelError", Var(false));
  ASSERT_EQ(Show(PressOk).hr, S_OK);
  const HDC second = Context();
  ASSERT_EQ(GetObjectType(second), static_cast<DWORD>(OBJ_DC));
  DestroyWindow(static_cast<HWND>(LongToHandle(Long(L"hWnd"))));
  EXPECT_EQ(GetObjectType(second), 0u);
  EXPECT_EQ(Long(L"hDC"), 0);
  EXPECT_EQ(Kinds(qz::kCommonDialogOpened), std::vector<long>(4, 5));
  EXPECT_EQ(Kinds(qz::kCommonDialogClosed), std::vector<long>(4, 5));
}

// Wine shows the setup dialog but runs the print dialog's hook for it, so the events report the
// print dialog's kind, 5, where Windows reports 10.
TEST_F(RealPrinter, PrintSetupShowsTheSetupDialogConfirmedOrCancelled) {
  constexpr long kSetupKindUnderWine = 5;
  Put(control.Get(), L"PrinterDefault", Var(false));
  Put(control.Get(), L"CancelError", Var(true));
  Put(control.Get(), L"Min", Var(short{1}));
  Put(control.Get(), L"Max", Var(short{9}));
  Put(control.Get(), L"Flags", Var(kPrintSetup));
  for (bool confirm : {true, false}) {
    sink.events.clear();
    bool saw_dialog = false, has_page_fields = true;
    const CallResult result = Show(
        [&](HWND dialog) {
          has_page_fields = GetDlgItem(dialog, kFromField) != nullptr;
          confirm ? PressOk(dialog) : PressCancel(dialog);
        },
        &saw_dialog);
    EXPECT_TRUE(saw_dialog);
    EXPECT_FALSE(has_page_fields) << "the print dialog, not the setup dialog";
    EXPECT_EQ(result.ErrorNumber(), confirm ? 0 : 32755);
    EXPECT_EQ(Kinds(qz::kCommonDialogOpened), std::vector<long>{kSetupKindUnderWine});
    EXPECT_EQ(Kinds(qz::kCommonDialogClosed), std::vector<long>{kSetupKindUnderWine});
    EXPECT_EQ(Long(L"Flags"), kReturnDcAndHooks | kPrintSetup);
    if (confirm) {
      EXPECT_EQ(GetObjectType(Context()), static_cast<DWORD>(OBJ_DC));
    } else {
      EXPECT_EQ(Long(L"hDC"), 0);
    }
  }
}

TEST_F(RealPrinter, PrinterDefaultMakesTheChosenPrinterTheDefaultAndSaysSo) {
  for (bool printer_default : {false, true}) {
    WriteProfileStringA("windows", "device", saved_device.c_str());
    Put(control.Get(), L"PrinterDefault", Var(printer_default));
    BroadcastListener listener;
    bool saw_dialog = false;
    const CallResult result = Show([&](HWND dialog) { ChoosePrinterAndOk(dialog, printers[1]); }, &saw_dialog);
    ASSERT_TRUE(saw_dialog);
    ASSERT_EQ(result.hr, S_OK) << result.ErrorNumber();
    EXPECT_EQ(ProfileDevice(), printer_default ? DeviceEntryOf(printers[1]) : saved_device);
    const std::vector<std::string> told = printer_default ? std::vector<std::string>{"DEVICE"} : std::vector<std::string>{};
    EXPECT_EQ(BroadcastListener::ansi_sections, told);
    EXPECT_EQ(BroadcastListener::wide_sections, told);
  }
}

// Without a dialog, once per process: afterwards the printer selection is held and the system
// refuses to return the default.
TEST_F(RealPrinter, ReturnDefaultGivesTheDefaultPrinterOnlyWhileNoPrinterIsHeld) {
  EXPECT_EQ(saved_device, DeviceEntryOf(printers[0]));
  Put(control.Get(), L"Flags", Var(kReturnDefault | kReturnDc));
  bool saw_dialog = true;
  const CallResult first = Show(PressCancel, &saw_dialog);
  EXPECT_FALSE(saw_dialog);
  ASSERT_EQ(first.hr, S_OK) << first.ErrorNumber();
  EXPECT_EQ(GetDeviceCaps(Context(), TECHNOLOGY), DT_RASPRINTER);
  EXPECT_TRUE(Kinds(qz::kCommonDialogOpened).empty());
  Put(control.Get(), L"Flags", Var(kReturnDefault | kReturnDc));
  EXPECT_EQ(Show(PressCancel).ErrorNumber(), 28668);
  EXPECT_EQ(Long(L"hDC"), 0);
}

// The returned context really prints: one page of text becomes a PDF in the queue's folder.
TEST_F(RealPrinter, TheContextPrintsAPage) {
  const std::string output = Environment("QZ_TEST_PRINT_OUTPUT");
  ASSERT_FALSE(output.empty());
  Put(control.Get(), L"PrinterDefault", Var(false));
  Put(control.Get(), L"Flags", Var(kReturnDefault));
  ASSERT_EQ(Show(PressCancel).hr, S_OK);
  const HDC dc = Context();
  const std::string document = "qzpage" + std::to_string(GetCurrentProcessId()) + "x" + std::to_string(GetTickCount());
  DOCINFOA info{};
  info.cbSize = sizeof info;
  info.lpszDocName = document.c_str();
  ASSERT_GT(StartDocA(dc, &info), 0);
  ASSERT_GT(StartPage(dc), 0);
  const char text[] = "QzCommonDialog printed this page.";
  EXPECT_TRUE(TextOutA(dc, 300, 300, text, sizeof text - 1));
  ASSERT_GT(EndPage(dc), 0);
  ASSERT_GT(EndDoc(dc), 0);
  const std::string pdf = AwaitPrintedFile(WindowsPath(output), document);
  ASSERT_FALSE(pdf.empty()) << "no PDF named " << document << " appeared in " << output;
  EXPECT_EQ(pdf.rfind("%PDF-", 0), 0u);
}

// The system tells the user that no printer is installed and returns as if cancelled.
TEST_F(NoPrinter, TheDialogEndsAsACancel) {
  Put(control.Get(), L"Copies", Var(short{3}));
  for (bool cancel_error : {false, true}) {
    Put(control.Get(), L"CancelError", Var(cancel_error));
    DialogDriver driver(PressOk);
    const CallResult result = Call(control.Get(), L"ShowPrinter");
    driver.Finish();
    EXPECT_TRUE(driver.saw_dialog) << "no message box";
    EXPECT_EQ(result.ErrorNumber(), cancel_error ? 32755 : 0);
    EXPECT_EQ(Get(control.Get(), L"hDC").value.AsLong(), 0);
    EXPECT_EQ(Get(control.Get(), L"Copies").value.AsLong(), 3);
    EXPECT_EQ(Get(control.Get(), L"Action").value.AsLong(), 5);
  }
}

TEST_F(NoPrinter, ReturnDefaultRaisesNoDefaultPrinterWithoutADialog) {
  Put(control.Get(), L"Flags", Var(kReturnDefault | kReturnDc));
  DialogDriver driver(PressCancel);
  const CallResult result = Call(control.Get(), L"ShowPrinter");
  driver.Finish();
  EXPECT_FALSE(driver.saw_dialog);
  EXPECT_EQ(result.ErrorNumber(), 28663);
}
