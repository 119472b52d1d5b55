// The older build's help directory rule, on folders made for the test.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "help_directory.h"

using qz::HelpDirectoryFor;

namespace {

class HelpDirectoryTest : public testing::Test {
protected:
  void SetUp() override {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    root = std::wstring(temp) + L"qz help " + std::to_wstring(GetCurrentProcessId());
    CreateDirectoryW(root.c_str(), nullptr);
    modules = root + L"\\modules";
    windows = root + L"\\windows";
    CreateDirectoryW(modules.c_str(), nullptr);
    CreateDirectoryW(windows.c_str(), nullptr);
  }
  void TearDown() override {
    RemoveDirectoryW((windows + L"\\HELP").c_str());
    RemoveDirectoryW(windows.c_str());
    RemoveDirectoryW(modules.c_str());
    RemoveDirectoryW(root.c_str());
  }
  std::wstring root, modules, windows;
};

}  // namespace

TEST_F(HelpDirectoryTest, AnExistingModuleFolderIsTheHelpDirectory) {
  CreateDirectoryW((windows + L"\\HELP").c_str(), nullptr);
  EXPECT_EQ(HelpDirectoryFor(modules + L"\\Qzcommdl.ocx", windows), modules);
}

TEST_F(HelpDirectoryTest, AMissingModuleFolderFallsBackToTheWindowsHelpFolder) {
  CreateDirectoryW((windows + L"\\HELP").c_str(), nullptr);
  EXPECT_EQ(HelpDirectoryFor(root + L"\\gone\\Qzcommdl.ocx", windows), windows + L"\\HELP");
  // A Windows directory given with its trailing backslash gets no second one.
  EXPECT_EQ(HelpDirectoryFor(root + L"\\gone\\Qzcommdl.ocx", windows + L"\\"), windows + L"\\HELP");
}

TEST_F(HelpDirectoryTest, NeitherFolderLeavesItEmpty) {
  EXPECT_EQ(HelpDirectoryFor(root + L"\\gone\\Qzcommdl.ocx", windows), L"");
  EXPECT_EQ(HelpDirectoryFor(L"Qzcommdl.ocx", windows), L"");  // no folder part at all
  EXPECT_EQ(HelpDirectoryFor(L"", L""), L"");
}

TEST_F(HelpDirectoryTest, AFileInPlaceOfTheFolderDoesNotCount) {
  const std::wstring file = root + L"\\plain";
  HANDLE h = CreateFileW(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  CloseHandle(h);
  EXPECT_EQ(HelpDirectoryFor(file + L"\\Qzcommdl.ocx", windows), L"");
  DeleteFileW(file.c_str());
}
