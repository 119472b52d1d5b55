// The print dialog's request and results, the process-wide printer selection and the default
// printer rewrite, with the system dialog replaced by a fake that plays a printer.
#include <cstring>
#include <string>

#include "default_printer.h"
#include "fake_dialogs.h"
#include "module_state.h"
#include "printer_profile.h"

using namespace qztest;

namespace {

// A device-names block as the system returns it.
HGLOBAL MakeDevNames(const std::string& device, const std::string& driver, const std::string& port) {
  const size_t header = sizeof(DEVNAMES);
  const size_t size = header + driver.size() + 1 + device.size() + 1 + port.size() + 1;
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
  auto* names = static_cast<DEVNAMES*>(GlobalLock(block));
  char* base = reinterpret_cast<char*>(names);
  names->wDriverOffset = static_cast<WORD>(header);
  names->wDeviceOffset = static_cast<WORD>(header + driver.size() + 1);
  names->wOutputOffset = static_cast<WORD>(header + driver.size() + 1 + device.size() + 1);
  std::memcpy(base + names->wDriverOffset, driver.c_str(), driver.size() + 1);
  std::memcpy(base + names->wDeviceOffset, device.c_str(), device.size() + 1);
  std::memcpy(base + names->wOutputOffset, port.c_str(), port.size() + 1);
  GlobalUnlock(block);
  return block;
}

class PrintRequest : public FakeDialogTest {
protected:
  void SetUp() override {
    FakeDialogTest::SetUp();
    saved_device = ProfileDevice();
    qz::ReleasePrinterSelection();
  }
  void TearDown() override {
    FakeDialogTest::TearDown();
    qz::ReleasePrinterSelection();
    WriteProfileStringA("windows", "device", saved_device == "<none>" ? nullptr : saved_device.c_str());
  }
  // The fake plays a printer dialog the user confirmed: it hands out a printer, a device
  // context and the values the user left in the dialog.
  void PlayPrinter(const std::string& device) {
    Fakes().on_print = [this, device](PRINTDLGA& request) {
      seen = request;
      if (request.hDevNames) {
        const auto* names = static_cast<const DEVNAMES*>(GlobalLock(request.hDevNames));
        seen_default = names->wDefault;
        GlobalUnlock(request.hDevNames);
      }
      if (request.hDevNames) GlobalFree(request.hDevNames);
      if (request.hDevMode) GlobalFree(request.hDevMode);
      request.hDevNames = MakeDevNames(device, "winspool", "FILE:");
      request.hDevMode = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DEVMODEA));
      request.hDC = CreateCompatibleDC(nullptr);
      returned_dc = request.hDC;
      request.nFromPage = 3;
      request.nToPage = 4;
      request.nCopies = 2;
      request.Flags |= PD_PAGENUMS | PD_COLLATE;
    };
  }
  std::string saved_device;
  PRINTDLGA seen{};
  WORD seen_default = 0;
  HDC returned_dc = nullptr;
};

}  // namespace

TEST_F(PrintRequest, TheRequestCarriesPagesCopiesFlagsAndHooks) {
  Put(control.Get(), L"Copies", Var(short{3}));
  Put(control.Get(), L"FromPage", Var(short{2}));
  Put(control.Get(), L"ToPage", Var(short{5}));
  Put(control.Get(), L"Min", Var(short{1}));
  Put(control.Get(), L"Max", Var(short{10}));
  Put(control.Get(), L"Flags", Var(2L));  // page numbers
  Fakes().answer = FALSE;
  Fakes().on_print = [this](PRINTDLGA& request) { seen = request; };
  ASSERT_EQ(Call(control.Get(), L"ShowPrinter").hr, S_OK);
  EXPECT_EQ(seen.lStructSize, sizeof(PRINTDLGA));
  if (sizeof(void*) == 4) {
    EXPECT_EQ(seen.lStructSize, 66u);
  }
  EXPECT_EQ(seen.hwndOwner, GetParent(ControlWindow()));
  EXPECT_EQ(seen.hInstance, GetModuleHandleW(nullptr));
  EXPECT_EQ(seen.hDevNames, nullptr);
  EXPECT_EQ(seen.hDevMode, nullptr);
  EXPECT_EQ(seen.Flags, 2u | 0x3100u);
  EXPECT_EQ(seen.nFromPage, 2);
  EXPECT_EQ(seen.nToPage, 5);
  EXPECT_EQ(seen.nMinPage, 1);
  EXPECT_EQ(seen.nMaxPage, 10);
  EXPECT_EQ(seen.nCopies, 3);
  EXPECT_EQ(seen.lCustData, reinterpret_cast<LPARAM>(ControlWindow()));
  EXPECT_EQ(seen.lpPrintTemplateName, nullptr);
  EXPECT_EQ(seen.hPrintTemplate, nullptr);
  // A cancelled dialog changes no property.
  EXPECT_EQ(Long(L"Copies"), 3);
  EXPECT_EQ(Long(L"Flags"), 2);
  EXPECT_EQ(Long(L"hDC"), 0);
}

TEST_F(PrintRequest, OkReturnsWhatTheUserLeftWithoutNotifications) {
  Put(control.Get(), L"PrinterDefault", Var(false));
  Put(control.Get(), L"Min", Var(short{1}));
  Put(control.Get(), L"Max", Var(short{10}));
  PlayPrinter("Office Printer");
  notify.changed.clear();
  ASSERT_EQ(Call(control.Get(), L"ShowPrinter").hr, S_OK);
  EXPECT_TRUE(notify.changed.empty());
  EXPECT_EQ(Long(L"FromPage"), 3);
  EXPECT_EQ(Long(L"ToPage"), 4);
  EXPECT_EQ(Long(L"Copies"), 2);
  EXPECT_EQ(Long(L"Min"), 1);
  EXPECT_EQ(Long(L"Max"), 10);
  EXPECT_EQ(Long(L"Flags"), 0x3100 | PD_PAGENUMS | PD_COLLATE);
  EXPECT_EQ(Long(L"hDC"), HandleToLong(returned_dc));
  EXPECT_EQ(qz::SharedPrinterSelection().dev_names != nullptr, true);
  EXPECT_EQ(ProfileDevice(), saved_device);  // PrinterDefault FALSE: the profile is untouched
}

TEST_F(PrintRequest, PrinterDefaultRewritesTheDeviceEntryAndBroadcasts) {
  BroadcastListener listener;
  PlayPrinter("Office Printer");
  ASSERT_EQ(Call(control.Get(), L"ShowPrinter").hr, S_OK);
  EXPECT_EQ(ProfileDevice(), "Office Printer,winspool,FILE:");
  EXPECT_EQ(BroadcastListener::ansi_sections, std::vector<std::string>{"DEVICE"});
  EXPECT_EQ(BroadcastListener::wide_sections, std::vector<std::string>{"DEVICE"});
}

TEST_F(PrintRequest, TheNextDialogStartsFromTheSelectionMarkedDefaultAndDropsTheOldContext) {
  PlayPrinter("First");
  ASSERT_EQ(Call(control.Get(), L"ShowPrinter").hr, S_OK);
  const HGLOBAL held = qz::SharedPrinterSelection().dev_names;
  const HDC first_dc = returned_dc;
  ASSERT_NE(GetObjectType(first_dc), 0u);
  PlayPrinter("Second");
  ASSERT_EQ(Call(control.Get(), L"ShowPrinter").hr, S_OK);
  EXPECT_EQ(seen.hDevNames, held);
  EXPECT_EQ(seen_default, DN_DEFAULTPRN);
  EXPECT_EQ(GetObjectType(first_dc), 0u);  // deleted when the second dialog started
  EXPECT_EQ(ProfileDevice(), "Second,winspool,FILE:");
}

TEST_F(PrintRequest, ACancelledDialogLeavesHdcZeroAndKeepsTheSelection) {
  PlayPrinter("First");
  ASSERT_EQ(Call(control.Get(), L"ShowPrinter").hr, S_OK);
  const HGLOBAL held = qz::SharedPrinterSelection().dev_names;
  const HDC dc = returned_dc;
  Fakes().on_print = nullptr;
  Fakes().answer = FALSE;
  Put(control.Get(), L"CancelError", Var(true));
  EXPECT_EQ(Call(control.Get(), L"ShowPrinter").ErrorNumber(), 32755);
  EXPECT_EQ(Long(L"hDC"), 0);
  EXPECT_EQ(GetObjectType(dc), 0u);
  EXPECT_EQ(qz::SharedPrinterSelection().dev_names, held);
}

TEST_F(PrintRequest, DestroyingTheWindowReleasesTheSelectionAndTheContext) {
  PlayPrinter("First");
  ASSERT_EQ(Call(control.Get(), L"ShowPrinter").hr, S_OK);
  ASSERT_NE(qz::SharedPrinterSelection().dev_names, nullptr);
  DestroyWindow(ControlWindow());
  EXPECT_EQ(qz::SharedPrinterSelection().dev_names, nullptr);
  EXPECT_EQ(qz::SharedPrinterSelection().dev_mode, nullptr);
  EXPECT_EQ(GetObjectType(returned_dc), 0u);
  EXPECT_EQ(Long(L"hDC"), 0);
}

TEST_F(PrintRequest, ANameTooLongForTheEntryLeavesTheProfileAlone) {
  PlayPrinter(std::string(300, 'P'));
  ASSERT_EQ(Call(control.Get(), L"ShowPrinter").hr, S_OK);
  EXPECT_EQ(ProfileDevice(), saved_device);
  EXPECT_NE(Long(L"hDC"), 0);
}

TEST_F(PrintRequest, EveryFlagBitAndMinAboveMaxArePassedThroughWithoutHarm) {
  Put(control.Get(), L"Flags", Var(-1L));
  Put(control.Get(), L"Min", Var(short{9}));
  Put(control.Get(), L"Max", Var(short{2}));
  Fakes().answer = FALSE;
  Fakes().extended_error = 0x0003;  // what the system says about the template flags
  Fakes().on_print = [this](PRINTDLGA& request) { seen = request; };
  EXPECT_EQ(Call(control.Get(), L"ShowPrinter").hr, S_OK);
  EXPECT_EQ(seen.Flags, 0xFFFFFFFFu);
  EXPECT_EQ(seen.nMinPage, 9);
  EXPECT_EQ(seen.nMaxPage, 2);
  EXPECT_EQ(Long(L"Flags"), -1);
}

TEST(DeviceEntry, SplitsLikeTheProfileReaderDoes) {
  const auto entry = qz::ParseDeviceEntry("Office Printer,winspool,LPT1:");
  ASSERT_TRUE(entry);
  EXPECT_EQ(entry->device, "Office Printer");
  EXPECT_EQ(entry->driver, "winspool");
  EXPECT_EQ(entry->port, "LPT1:");
  const auto spaced = qz::ParseDeviceEntry("P, winspool, FILE:");
  ASSERT_TRUE(spaced);
  EXPECT_EQ(spaced->driver, "winspool");
  EXPECT_EQ(spaced->port, "FILE:");
  for (const char* bad : {",,,", "", "Printer", "Printer,winspool", "Printer,winspool,", ",winspool,FILE:"})
    EXPECT_FALSE(qz::ParseDeviceEntry(bad)) << bad;
}

TEST(DeviceEntry, IsBuiltFromTheNamesBlockWithinItsBounds) {
  HGLOBAL block = MakeDevNames("Dev", "Drv", "Port");
  const auto* names = static_cast<const DEVNAMES*>(GlobalLock(block));
  const size_t size = GlobalSize(block);
  EXPECT_EQ(qz::DeviceEntryFromDevNames(names, size).value_or("<none>"), "Dev,Drv,Port");
  // A block cut before the port's terminator, or an offset outside it, gives nothing.
  EXPECT_FALSE(qz::DeviceEntryFromDevNames(names, names->wOutputOffset + 2));
  DEVNAMES broken = *names;
  broken.wDeviceOffset = 0xFFF0;
  EXPECT_FALSE(qz::DeviceEntryFromDevNames(&broken, sizeof broken));
  GlobalUnlock(block);
  GlobalFree(block);
  // Exactly 255 characters fit the entry buffer; 256 do not.
  HGLOBAL fits = MakeDevNames(std::string(255 - 4, 'D'), "a", "b");
  EXPECT_TRUE(qz::DeviceEntryFromDevNames(static_cast<const DEVNAMES*>(GlobalLock(fits)), GlobalSize(fits)));
  GlobalUnlock(fits);
  GlobalFree(fits);
  HGLOBAL too_long = MakeDevNames(std::string(256 - 4, 'D'), "a", "b");
  EXPECT_FALSE(qz::DeviceEntryFromDevNames(static_cast<const DEVNAMES*>(GlobalLock(too_long)), GlobalSize(too_long)));
  GlobalUnlock(too_long);
  GlobalFree(too_long);
}
