// The about box as a host sees it: the control's AboutBox method and the General page's About
// button, for the module as built, a renamed copy and a copy without a version resource.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "qzcommdl_ids.h"
#include "test_support.h"
#include "window_script.h"

using namespace qztest;

namespace {

struct SeenBox {
  std::string title;
  std::string text;
  HWND owner = nullptr;
  bool seen = false;
};

// Runs `show` while a person reads the about box and presses OK.
template <class F>
SeenBox AnswerAboutBox(F show) {
  SeenBox box;
  WindowScript script([&](WindowScript& s) {
    const HWND found = s.WaitForDialog(IsMessageBox);
    box.seen = true;
    box.title = WindowText(found);
    box.text = MessageText(found);
    box.owner = GetWindow(found, GW_OWNER);
    PostMessageA(found, WM_COMMAND, IDOK, 0);
  });
  show();
  script.Finish();
  return box;
}

std::string NarrowPath(const std::wstring& path) { return std::string(path.begin(), path.end()); }

std::string TempFolder() {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  const std::string folder = std::string(temp) + "qz about " + std::to_string(GetCurrentProcessId()) + "\\";
  CreateDirectoryA(folder.c_str(), nullptr);
  return folder;
}

// A copy of the control loaded under another file name, created through its own class factory.
struct LoadedCopy {
  HMODULE module = nullptr;
  ComPtr<IDispatch> control;
  explicit LoadedCopy(const std::string& path) {
    module = LoadLibraryA(path.c_str());
    if (!module) return;
    auto get = reinterpret_cast<HRESULT(WINAPI*)(REFCLSID, REFIID, void**)>(reinterpret_cast<void*>(GetProcAddress(module, "DllGetClassObject")));
    ComPtr<IClassFactory> factory;
    if (get && SUCCEEDED(get(qz::kClsidCtrl, IID_IClassFactory, factory.PutVoid())))
      factory->CreateInstance(nullptr, IID_IDispatch, control.PutVoid());
  }
  ~LoadedCopy() {
    control.Reset();
    if (module) FreeLibrary(module);
  }
};

// Renumbers the version resource type in the file's resource directory, so that the file no
// longer has a version resource. The type must be the last numbered one, keeping the order.
bool HideVersionResource(const std::string& path) {
  std::vector<char> file;
  {
    std::ifstream in(path, std::ios::binary);
    file.assign(std::istreambuf_iterator<char>(in), {});
  }
  auto at = [&](size_t offset) { return file.data() + offset; };
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(at(0));
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(at(static_cast<size_t>(dos->e_lfanew)));
  const WORD magic = nt->OptionalHeader.Magic;
  const IMAGE_DATA_DIRECTORY resources =
      magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC
          ? reinterpret_cast<const IMAGE_NT_HEADERS64*>(nt)->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_RESOURCE]
          : reinterpret_cast<const IMAGE_NT_HEADERS32*>(nt)->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_RESOURCE];
  const auto* section = IMAGE_FIRST_SECTION(nt);
  size_t root = 0;
  for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section)
    if (resources.VirtualAddress >= section->VirtualAddress &&
        resources.VirtualAddress < section->VirtualAddress + section->Misc.VirtualSize)
      root = resources.VirtualAddress - section->VirtualAddress + section->PointerToRawData;
  if (root == 0) return false;
  const auto* directory = reinterpret_cast<const IMAGE_RESOURCE_DIRECTORY*>(at(root));
  auto* entries = reinterpret_cast<IMAGE_RESOURCE_DIRECTORY_ENTRY*>(at(root + sizeof *directory));
  const int count = directory->NumberOfNamedEntries + directory->NumberOfIdEntries;
  if (count == 0 || entries[count - 1].Name != 16) return false;
  entries[count - 1].Name = 0x7FFF;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(file.data(), static_cast<std::streamsize>(file.size()));
  return static_cast<bool>(out);
}

std::string ExpectedTail(const std::string& version, const std::string& path) {
  return "\nVersion: " + version + "\n\nReg.Location: " + path;
}

}  // namespace

TEST(AboutBox, MethodShowsNameVersionAndLocation) {
  ComPtr<IDispatch> control = CreateControl();
  CallResult result;
  const SeenBox box = AnswerAboutBox([&] { result = Call(control.Get(), L"AboutBox"); });
  EXPECT_EQ(result.hr, S_OK);
  ASSERT_TRUE(box.seen);
  EXPECT_EQ(box.title, "About...");
  const std::string path = NarrowPath(OcxPath());
  // The title of the file, with or without its extension as the system shows it.
  EXPECT_TRUE(box.text.find("Control: Qzdialog32\n") != std::string::npos ||
              box.text.find("Control: Qzdialog32.ocx\n") != std::string::npos) << box.text;
  EXPECT_NE(box.text.find(ExpectedTail("7.00.00.00", path)), std::string::npos) << box.text;
  EXPECT_EQ(box.text.substr(box.text.size() - path.size()), path);
  EXPECT_NE(box.text.find("1996-2000"), std::string::npos);
  // Owned by the control's window.
  EXPECT_EQ(box.owner, reinterpret_cast<HWND>(static_cast<LONG_PTR>(Get(control.Get(), L"hWnd").value.AsLong())));
}

TEST(AboutBox, DispatchIdIsTheStandardOne) {
  ComPtr<IDispatch> control = CreateControl();
  EXPECT_EQ(IdOf(control.Get(), L"AboutBox"), DISPID_ABOUTBOX);
}

TEST(AboutBox, RenamedModuleNamesItselfButKeepsItsVersion) {
  const std::string path = TempFolder() + "Renamed Dialogs.ocx";
  ASSERT_TRUE(CopyFileA(NarrowPath(OcxPath()).c_str(), path.c_str(), FALSE));
  {
    LoadedCopy copy(path);
    ASSERT_TRUE(copy.control);
    char loaded[MAX_PATH];
    GetModuleFileNameA(copy.module, loaded, MAX_PATH);
    const SeenBox box = AnswerAboutBox([&] { Call(copy.control.Get(), L"AboutBox"); });
    ASSERT_TRUE(box.seen);
    EXPECT_TRUE(box.text.find("Control: Renamed Dialogs\n") != std::string::npos ||
                box.text.find("Control: Renamed Dialogs.ocx\n") != std::string::npos) << box.text;
    EXPECT_EQ(box.text.find("Qzdialog32"), std::string::npos) << box.text;
    EXPECT_NE(box.text.find(ExpectedTail("7.00.00.00", loaded)), std::string::npos) << box.text;
  }
  DeleteFileA(path.c_str());
}

TEST(AboutBox, ModuleWithoutVersionResourceShowsOnlyTheError) {
  const std::string path = TempFolder() + "Unversioned.ocx";
  ASSERT_TRUE(CopyFileA(NarrowPath(OcxPath()).c_str(), path.c_str(), FALSE));
  {
    ASSERT_TRUE(HideVersionResource(path));
    DWORD ignored = 0;
    ASSERT_EQ(GetFileVersionInfoSizeA(path.c_str(), &ignored), 0u) << "the copy still has a version resource";
  }
  {
    LoadedCopy copy(path);
    ASSERT_TRUE(copy.control);
    const SeenBox box = AnswerAboutBox([&] { Call(copy.control.Get(), L"AboutBox"); });
    ASSERT_TRUE(box.seen);
    EXPECT_EQ(box.title, "About...");
    EXPECT_EQ(box.text, "Error Getting Version Info.");
  }
  DeleteFileA(path.c_str());
}

TEST(AboutBox, GeneralPageButtonShowsTheSameTextAndChangesNothing) {
  NotifySink sink;  // outlives the control, which holds on to it
  ComPtr<IDispatch> control = CreateControl();
  const SeenBox from_method = AnswerAboutBox([&] { Call(control.Get(), L"AboutBox"); });

  ASSERT_NE(Connect(control.Get(), IID_IPropertyNotifySink, &sink), 0u);
  ComPtr<IClassFactory> factory;
  ASSERT_EQ(ControlLibrary::Get().get_class_object(qz::kClsidGeneralPage, IID_IClassFactory, factory.PutVoid()), S_OK);
  ComPtr<IPropertyPage> page;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IPropertyPage, page.PutVoid()), S_OK);
  IUnknown* objects[] = {control.Get()};
  ASSERT_EQ(page->SetObjects(1, objects), S_OK);
  const HWND host = CreateHostWindow();
  RECT area{0, 0, 380, 180};
  ASSERT_EQ(page->Activate(host, &area, FALSE), S_OK);
  const HWND window = FindWindowExW(host, nullptr, L"#32770", nullptr);
  const HWND button = GetDlgItem(window, 201);
  ASSERT_TRUE(button);
  const SeenBox from_button = AnswerAboutBox([&] {
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(201, BN_CLICKED), reinterpret_cast<LPARAM>(button));
  });
  ASSERT_TRUE(from_method.seen);
  ASSERT_TRUE(from_button.seen);
  EXPECT_EQ(from_button.text, from_method.text);
  EXPECT_EQ(from_button.title, "About...");
  EXPECT_EQ(from_button.owner, host);  // the page's top-level window
  EXPECT_EQ(page->IsPageDirty(), S_FALSE);
  EXPECT_EQ(page->Apply(), S_OK);
  EXPECT_TRUE(sink.changed.empty());
  page->Deactivate();
  page->SetObjects(0, nullptr);
  DestroyWindow(host);
}
