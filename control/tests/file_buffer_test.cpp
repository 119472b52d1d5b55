// The file-name buffer the control hands the real file dialogs, run inside the test program with a
// guard page right behind a copy of that buffer: a dialog that reads or writes past it stops the
// test with an access violation instead of handing back bytes from outside it.
#include <windows.h>
#include <commdlg.h>

#include <cstring>

#include "dialog_driver.h"
#include "fake_dialogs.h"

extern "C" UINT_PTR CALLBACK CommdlgHook(HWND, UINT, WPARAM, LPARAM);

using namespace qztest;

namespace {

// Runs `dialog` on a copy of the request's file buffer that ends where an inaccessible page begins.
BOOL GuardedRun(LPOPENFILENAMEA request, BOOL(WINAPI* dialog)(LPOPENFILENAMEA)) {
  const SIZE_T allocated = GlobalSize(GlobalHandle(request->lpstrFile));
  EXPECT_GE(request->nMaxFile, 1u) << "the dialog must be offered room for its terminating NUL";
  EXPECT_LE(request->nMaxFile, allocated) << "the stated size exceeds the allocation";
  EXPECT_NE(std::memchr(request->lpstrFile, '\0', request->nMaxFile), nullptr) << "no NUL within the stated size";
  SYSTEM_INFO system;
  GetSystemInfo(&system);
  const SIZE_T page = system.dwPageSize, usable = (allocated + page - 1) / page * page;
  auto* block = static_cast<char*>(VirtualAlloc(nullptr, usable + page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
  DWORD old;
  VirtualProtect(block + usable, page, PAGE_NOACCESS, &old);
  char* const guarded = block + usable - allocated;
  std::memcpy(guarded, request->lpstrFile, allocated);
  char* const original = request->lpstrFile;
  request->lpstrFile = guarded;
  request->lpfnHook = CommdlgHook;  // what the control finds among its module's exports
  const BOOL chosen = dialog(request);
  std::memcpy(original, guarded, allocated);
  request->lpstrFile = original;
  VirtualFree(block, 0, MEM_RELEASE);
  return chosen;
}

BOOL WINAPI GuardedOpen(LPOPENFILENAMEA request) { return GuardedRun(request, GetOpenFileNameA); }
BOOL WINAPI GuardedSave(LPOPENFILENAMEA request) { return GuardedRun(request, GetSaveFileNameA); }

class FileBuffer : public FakeDialogTest {
protected:
  void SetUp() override {
    FakeDialogTest::SetUp();
    qz::SystemCalls& calls = qz::TheSystemCalls();
    calls.get_open_file_name = GuardedOpen;
    calls.get_save_file_name = GuardedSave;
    calls.extended_error = CommDlgExtendedError;
    char temp[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    folder.assign(temp, temp + std::strlen(temp));
    Put(control.Get(), L"InitDir", Var(folder));
    if (!folder.empty() && folder.back() == L'\\') folder.pop_back();
  }
  std::wstring folder;
};

}  // namespace

// Each size with each dialog and each way out: no name is handed back, or the dialog's own
// buffer-too-small error is raised; FileName holds only what the hook reported while the dialog
// was open (the folder, with nothing selected), never anything read from outside the buffer.
TEST_F(FileBuffer, TinyMaxFileSizeNeverYieldsBytesFromOutsideTheBuffer) {
  for (short size : {0, 1, 2}) {
    for (const wchar_t* method : {L"ShowOpen", L"ShowSave"}) {
      for (bool ok : {false, true}) {
        SCOPED_TRACE(testing::Message() << "MaxFileSize " << size << ", " << method << (ok ? ", OK" : ", Cancel"));
        Put(control.Get(), L"FileName", Var(L""));
        Put(control.Get(), L"MaxFileSize", Var(size));
        DialogDriver driver([ok](HWND dialog) { ok ? TypeFileNameAndOk(dialog, "a.txt") : PressCancel(dialog); });
        const CallResult result = Call(control.Get(), method);
        driver.Finish();
        ASSERT_TRUE(driver.saw_dialog);
        EXPECT_EQ(driver.file_name, "");
        if (result.hr != S_OK) {
          EXPECT_EQ(result.ErrorNumber(), 20476);
        }
        EXPECT_EQ(Get(control.Get(), L"FileName").value.AsString(), folder);
      }
    }
  }
}
