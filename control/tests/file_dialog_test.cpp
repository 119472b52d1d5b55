// The file dialogs, opened through the control and driven from a second thread like a person.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "dialog_driver.h"
#include "qzcommdl_ids.h"
#include "test_support.h"

using namespace qztest;

namespace {

std::wstring Wide(const std::string& s) { return std::wstring(s.begin(), s.end()); }

// A folder of this test process with two text files in it, removed afterwards.
struct TestFolder {
  std::string path;
  TestFolder() {
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    path = std::string(temp) + "qzfile" + std::to_string(GetCurrentProcessId());
    CreateDirectoryA(path.c_str(), nullptr);
    for (const char* name : {"a.txt", "b.txt"}) {
      HANDLE file = CreateFileA((path + "\\" + name).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
      if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    }
  }
  ~TestFolder() {
    for (const char* name : {"a.txt", "b.txt", "new.txt"}) DeleteFileA((path + "\\" + name).c_str());
    RemoveDirectoryA(path.c_str());
  }
};

class FileDialog : public testing::Test {
protected:
  void SetUp() override {
    ASSERT_TRUE(control);
    ASSERT_NE(Connect(control.Get(), qz::kDiidEvents, &sink), 0u);
    Put(control.Get(), L"InitDir", Var(Wide(folder.path)));
  }
  std::wstring String(const wchar_t* name) { return Get(control.Get(), name).value.AsString(); }
  long Long(const wchar_t* name) { return Get(control.Get(), name).value.AsLong(); }
  std::wstring ListEntry(short index) {
    return Get(control.Get(), L"FileNameList", {Var(index)}).value.AsString();
  }
  std::vector<EventSink::Event> DialogEvents() const {
    std::vector<EventSink::Event> found;
    for (const auto& e : sink.events)
      if (e.id == qz::kCommonDialogOpened || e.id == qz::kCommonDialogClosed) found.push_back(e);
    return found;
  }

  TestFolder folder;
  ComPtr<IDispatch> control = CreateControl();
  EventSink sink{qz::kDiidEvents};
};

}  // namespace

TEST_F(FileDialog, OpenReturnsTheTypedFileWithTitleFlagsAndFilterIndex) {
  Put(control.Get(), L"Filter", Var(L"Text (*.txt)|*.txt|All (*.*)|*.*"));
  Put(control.Get(), L"FilterIndex", Var(short{2}));
  Put(control.Get(), L"Flags", Var(0L));
  DialogDriver driver([](HWND dialog) { TypeFileNameAndOk(dialog, "a.txt"); });
  const CallResult result = Call(control.Get(), L"ShowOpen");
  driver.Finish();
  ASSERT_TRUE(driver.saw_dialog) << "no dialog appeared";
  ASSERT_EQ(result.hr, S_OK) << result.ErrorNumber();
  EXPECT_EQ(String(L"FileName"), Wide(folder.path + "\\a.txt"));
  EXPECT_EQ(String(L"FileTitle"), L"a.txt");
  EXPECT_EQ(Long(L"Flags") & 0x80020, 0x80020);  // hook and explorer style added
  EXPECT_EQ(Long(L"FilterIndex"), 2);
  EXPECT_EQ(Long(L"DialogHwnd"), 0);
  const auto events = DialogEvents();
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].id, qz::kCommonDialogOpened);
  EXPECT_EQ(events[0].args[1].AsLong(), 1);
  EXPECT_NE(events[0].args[0].AsLong(), 0);
  EXPECT_EQ(events[1].id, qz::kCommonDialogClosed);
  EXPECT_EQ(events[1].args[0].AsLong(), events[0].args[0].AsLong());
  EXPECT_EQ(events[1].args[1].AsLong(), 1);
}

TEST_F(FileDialog, SaveOpensAsKindTwoAndClosesAsKindOne) {
  DialogDriver driver([](HWND dialog) { TypeFileNameAndOk(dialog, "new.txt"); });
  const CallResult result = Call(control.Get(), L"ShowSave");
  driver.Finish();
  ASSERT_TRUE(driver.saw_dialog);
  ASSERT_EQ(result.hr, S_OK) << result.ErrorNumber();
  EXPECT_EQ(String(L"FileName"), Wide(folder.path + "\\new.txt"));
  EXPECT_EQ(String(L"FileTitle"), L"new.txt");
  const auto events = DialogEvents();
  ASSERT_EQ(events.size(), 2u);
  EXPECT_EQ(events[0].args[1].AsLong(), 2);
  EXPECT_EQ(events[1].args[1].AsLong(), 1);
}

TEST_F(FileDialog, ActionOneAndCancelKeepsFileNameAndClearsFileTitle) {
  {
    DialogDriver driver([](HWND dialog) { TypeFileNameAndOk(dialog, "b.txt"); });
    Put(control.Get(), L"Action", Var(short{1}));
    driver.Finish();
    ASSERT_TRUE(driver.saw_dialog);
  }
  ASSERT_EQ(String(L"FileTitle"), L"b.txt");
  const long flags_before = Long(L"Flags");
  DialogDriver driver(PressCancel);
  const CallResult result = Call(control.Get(), L"ShowOpen");
  driver.Finish();
  ASSERT_TRUE(driver.saw_dialog);
  EXPECT_EQ(result.hr, S_OK);
  EXPECT_EQ(String(L"FileName"), Wide(folder.path + "\\b.txt"));
  EXPECT_EQ(String(L"FileTitle"), L"");
  EXPECT_EQ(Long(L"Flags"), flags_before);
}

TEST_F(FileDialog, CancelWithCancelErrorRaises32755) {
  Put(control.Get(), L"CancelError", Var(true));
  DialogDriver driver(PressCancel);
  const CallResult result = Call(control.Get(), L"ShowSave");
  driver.Finish();
  ASSERT_TRUE(driver.saw_dialog);
  EXPECT_EQ(result.hr, DISP_E_EXCEPTION);
  EXPECT_EQ(result.ErrorNumber(), 32755);
  EXPECT_EQ(DialogEvents().size(), 2u);
}

TEST_F(FileDialog, AChosenNameLongerThanMaxFileSizeRaises20476) {
  Put(control.Get(), L"MaxFileSize", Var(short{10}));
  Put(control.Get(), L"FileName", Var(L"keep"));
  DialogDriver driver([](HWND dialog) { TypeFileNameAndOk(dialog, "a.txt"); });
  const CallResult result = Call(control.Get(), L"ShowOpen");  // CancelError is not needed
  driver.Finish();
  ASSERT_TRUE(driver.saw_dialog);
  EXPECT_EQ(result.ErrorNumber(), 20476);
  // A failed dialog copies nothing back (FileName may have followed the selection meanwhile).
  EXPECT_EQ(String(L"FileTitle"), L"");
  EXPECT_EQ(Long(L"Flags"), 0);
}

TEST_F(FileDialog, TextsLongerThanTheirBuffersAreCutToFit) {
  Put(control.Get(), L"MaxFileSize", Var(short{16}));
  Put(control.Get(), L"FileName", Var(L"abcdefghijklmnopqrstuvwxyz0123456789"));
  Put(control.Get(), L"DialogTitle", Var(std::wstring(300, L'T')));
  DialogDriver driver(PressCancel);
  Call(control.Get(), L"ShowOpen");
  driver.Finish();
  ASSERT_TRUE(driver.saw_dialog);
  EXPECT_EQ(driver.file_name, "abcdefghijklmno");   // 15 characters and the NUL
  EXPECT_EQ(driver.title, std::string(255, 'T'));  // 255 characters and the NUL
}

TEST_F(FileDialog, MultipleSelectionHandsOutTheDirectoryAndEachName) {
  Put(control.Get(), L"Flags", Var(512L));
  DialogDriver driver([](HWND dialog) { TypeFileNameAndOk(dialog, "\"a.txt\" \"b.txt\""); });
  const CallResult result = Call(control.Get(), L"ShowOpen");
  driver.Finish();
  ASSERT_TRUE(driver.saw_dialog);
  ASSERT_EQ(result.hr, S_OK) << result.ErrorNumber();
  EXPECT_EQ(String(L"FileName"), Wide(folder.path));
  EXPECT_EQ(ListEntry(0), Wide(folder.path));
  EXPECT_EQ(ListEntry(1), L"a.txt");
  EXPECT_EQ(ListEntry(2), L"b.txt");
  EXPECT_EQ(ListEntry(3), L"");
  EXPECT_EQ(ListEntry(4), Wide(folder.path));

  // The next dialog drops the list, whatever its outcome.
  DialogDriver cancel(PressCancel);
  Call(control.Get(), L"ShowOpen");
  cancel.Finish();
  EXPECT_EQ(ListEntry(1), L"");
  EXPECT_EQ(ListEntry(0), L"");
}

TEST_F(FileDialog, WithoutMultipleSelectionTheListIsEmpty) {
  DialogDriver driver([](HWND dialog) { TypeFileNameAndOk(dialog, "a.txt"); });
  Call(control.Get(), L"ShowOpen");
  driver.Finish();
  ASSERT_TRUE(driver.saw_dialog);
  EXPECT_EQ(ListEntry(1), L"");
}

TEST_F(FileDialog, PlacementMovesTheDialogAndRecordsTheSystemsPlace) {
  Put(control.Get(), L"DialogLeft", Var(short{1500}));
  Put(control.Get(), L"DialogTop", Var(short{1200}));
  DialogDriver driver(PressCancel);
  Call(control.Get(), L"ShowOpen");
  driver.Finish();
  ASSERT_TRUE(driver.saw_dialog);
  EXPECT_EQ(driver.frame.left, 100);  // 1500 twips at 15 twips per pixel
  EXPECT_EQ(driver.frame.top, 80);
  EXPECT_GT(Long(L"DialogDefaultWidth"), 0);
  EXPECT_EQ(Long(L"DialogDefaultWidth") % 15, 0);
  EXPECT_EQ(Long(L"DialogDefaultHeight") % 15, 0);
}

TEST_F(FileDialog, WithoutPlacementTheDialogStaysAndGrowsByTheRecordedPixel) {
  DialogDriver driver(PressCancel);
  Call(control.Get(), L"ShowOpen");
  driver.Finish();
  ASSERT_TRUE(driver.saw_dialog);
  // The recorded width and height already carry one extra pixel; the height gains a second one.
  EXPECT_EQ((driver.frame.right - driver.frame.left) * 15, Long(L"DialogDefaultWidth"));
  EXPECT_EQ((driver.frame.bottom - driver.frame.top) * 15, Long(L"DialogDefaultHeight") + 15);
  EXPECT_EQ(driver.frame.left * 15, Long(L"DialogDefaultLeft"));
  EXPECT_EQ(driver.frame.top * 15, Long(L"DialogDefaultTop"));
}

TEST_F(FileDialog, MaxFileSizeZeroFailsAsSoonAsAFileIsChosen) {
  Put(control.Get(), L"MaxFileSize", Var(short{0}));
  DialogDriver driver([](HWND dialog) { TypeFileNameAndOk(dialog, "a.txt"); });
  const CallResult result = Call(control.Get(), L"ShowOpen");
  driver.Finish();
  ASSERT_TRUE(driver.saw_dialog);
  EXPECT_EQ(result.ErrorNumber(), 20476);
}

TEST_F(FileDialog, AFilterWithoutItsLastPatternOrBarStillOpens) {
  Put(control.Get(), L"Filter", Var(L"Text (*.txt)|*.txt|All files"));
  Put(control.Get(), L"FilterIndex", Var(short{9}));  // beyond the pairs
  DialogDriver driver([](HWND dialog) { TypeFileNameAndOk(dialog, "b.txt"); });
  const CallResult result = Call(control.Get(), L"ShowOpen");
  driver.Finish();
  ASSERT_TRUE(driver.saw_dialog);
  ASSERT_EQ(result.hr, S_OK) << result.ErrorNumber();
  EXPECT_EQ(String(L"FileName"), Wide(folder.path + "\\b.txt"));
}

TEST_F(FileDialog, EveryFlagSetFailsWithTheMappedResourceError) {
  Put(control.Get(), L"Flags", Var(-1L));
  DialogDriver driver(PressCancel);  // closes anything the system shows meanwhile
  const CallResult result = Call(control.Get(), L"ShowOpen");
  driver.Finish();
  // The template flags ask for a dialog template that does not exist: CDERR_LOADRESFAILURE.
  EXPECT_EQ(result.hr, DISP_E_EXCEPTION);
  EXPECT_EQ(result.ErrorNumber(), 32760);
  EXPECT_EQ(String(L"FileTitle"), L"");
  EXPECT_EQ(Long(L"Flags"), -1);
}

TEST_F(FileDialog, FileNameFollowsTheSelectionWhileTheDialogIsOpen) {
  DialogDriver driver([](HWND dialog) {
    // Select the first file of the folder's list, as a click would, then cancel.
    const HWND list = FindWindowExA(FindWindowExA(dialog, nullptr, "SHELLDLL_DefView", nullptr), nullptr,
                                    "SysListView32", nullptr);
    LVITEMA item{};
    item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(list, LVM_SETITEMSTATE, 0, reinterpret_cast<LPARAM>(&item));
    Sleep(200);
    PressCancel(dialog);
  });
  const CallResult result = Call(control.Get(), L"ShowOpen");
  driver.Finish();
  ASSERT_TRUE(driver.saw_dialog);
  EXPECT_EQ(result.hr, S_OK);
  EXPECT_EQ(String(L"FileName"), Wide(folder.path + "\\a.txt"));
  long changes = 0;
  for (const auto& e : sink.events) changes += e.id == qz::kFilenameChange;
  EXPECT_GE(changes, 1);
}
