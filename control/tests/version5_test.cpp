// The older build, Qzcommdl.ocx, as a host sees it: its dispatch order and missing members, its
// identity, its error texts, its stored data and its about box from the runtime library.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "qzcommdl_ids.h"
#include "test_support.h"
#include "window_script.h"

using namespace qztest;

namespace {

constexpr wchar_t kAboutCaption[] = L"About QzCommonDialog";

bool IsRuntimeAboutBox(HWND window) {
  wchar_t text[64] = L"";
  GetWindowTextW(window, text, 64);
  return IsOwnDialog(window) && std::wstring(text) == kAboutCaption;
}

struct SeenAbout {
  bool seen = false;
  HWND owner = nullptr;
};

template <class F>
SeenAbout AnswerRuntimeAboutBox(F show) {
  SeenAbout about;
  WindowScript script([&](WindowScript& s) {
    const HWND found = s.WaitForDialog(IsRuntimeAboutBox);
    about.seen = true;
    about.owner = GetWindow(found, GW_OWNER);
    PostMessageW(found, WM_COMMAND, IDOK, 0);
  });
  show();
  script.Finish();
  EXPECT_TRUE(script.failure.empty()) << script.failure;
  return about;
}

std::wstring VersionString(const std::wstring& path, const wchar_t* name) {
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
  if (size == 0) return L"<no version resource>";
  std::vector<BYTE> data(size);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, data.data())) return L"<unreadable>";
  const std::wstring query = std::wstring(L"\\StringFileInfo\\040904E4\\") + name;
  void* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueW(data.data(), query.c_str(), &value, &length)) return L"<missing>";
  return length > 0 ? std::wstring(static_cast<const wchar_t*>(value)) : std::wstring();
}

std::string ExportTableName(HMODULE module) {
  const auto* base = reinterpret_cast<const BYTE*>(module);
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  const auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + dir.VirtualAddress);
  return reinterpret_cast<const char*>(base + exports->Name);
}

}  // namespace

// Which names each build has is the member table's check; here, what answers by number.
TEST(Version5Dispatch, NothingAnswersAboveTheLastCustomMember) {
  ComPtr<IDispatch> ctrl = CreateControl();
  ASSERT_TRUE(ctrl);
  EXPECT_EQ(InvokeRaw(ctrl.Get(), 42, DISPATCH_METHOD, {}, false).hr, DISP_E_MEMBERNOTFOUND);
  EXPECT_EQ(InvokeRaw(ctrl.Get(), 48, DISPATCH_PROPERTYGET, {Var(short{0})}, false).hr, DISP_E_MEMBERNOTFOUND);
}

TEST(Version5Dispatch, DispidsCompiledForTheCurrentBuildReachTheNeighbouringProperty) {
  ComPtr<IDispatch> ctrl = CreateControl();
  ASSERT_TRUE(ctrl);
  ASSERT_EQ(InvokeRaw(ctrl.Get(), 1, DISPATCH_PROPERTYPUT, {Var(L"C:\\one.txt")}, true).hr, S_OK);
  EXPECT_EQ(Get(ctrl.Get(), L"Filename").value.AsString(), L"C:\\one.txt");
  ASSERT_EQ(InvokeRaw(ctrl.Get(), 2, DISPATCH_PROPERTYPUT, {Var(short{42})}, true).hr, S_OK);
  EXPECT_EQ(Get(ctrl.Get(), L"DialogTop").value.AsLong(), 42);
  // The current build's DialogTop id (1) is the file name here.
  EXPECT_EQ(InvokeRaw(ctrl.Get(), 1, DISPATCH_PROPERTYGET, {}, false).value.AsString(), L"C:\\one.txt");
  // Its MaxFileSize id (28) is DialogDefaultHeight here, and its UserColors id (47) is nothing.
  EXPECT_EQ(InvokeRaw(ctrl.Get(), 29, DISPATCH_PROPERTYGET, {}, false).value.AsLong(), 256);
  EXPECT_EQ(InvokeRaw(ctrl.Get(), 28, DISPATCH_PROPERTYPUT, {Var(short{5})}, true).scode,
            static_cast<HRESULT>(0x800A017F));
  EXPECT_EQ(InvokeRaw(ctrl.Get(), 41, DISPATCH_PROPERTYGET, {Var(short{0})}, false).value.AsLong(), 0xFFFFFF);
  EXPECT_EQ(InvokeRaw(ctrl.Get(), 47, DISPATCH_PROPERTYGET, {Var(short{0})}, false).hr, DISP_E_MEMBERNOTFOUND);
}

TEST(Version5Errors, DescriptionsComeFromTheErrorTextLibrary) {
  ComPtr<IDispatch> ctrl = CreateControl();
  ASSERT_TRUE(ctrl);
  CallResult size = Put(ctrl.Get(), L"MaxFileSize", Var(short{-1}));
  EXPECT_EQ(size.hr, DISP_E_EXCEPTION);
  EXPECT_EQ(size.scode, static_cast<HRESULT>(0x800A017C));
  EXPECT_EQ(size.description, L"Invalid property value");
  CallResult index = Get(ctrl.Get(), L"UserColors", {Var(short{16})});
  EXPECT_EQ(index.scode, static_cast<HRESULT>(0x800A017D));
  EXPECT_EQ(index.description, L"Invalid property array index");
  CallResult action = Put(ctrl.Get(), L"Action", Var(short{7}));
  EXPECT_EQ(action.ErrorNumber(), 380);
  EXPECT_EQ(action.description, L"Invalid property value");
  EXPECT_EQ(Get(ctrl.Get(), L"MaxFileSize").value.AsLong(), 256);
}

TEST(Version5Errors, TheLibraryIsHeldWhileControlsExist) {
  {
    ComPtr<IDispatch> first = CreateControl();
    ASSERT_TRUE(first);
    EXPECT_TRUE(GetModuleHandleW(L"QZLOCALE.DLL"));
    ComPtr<IDispatch> other = CreateControl();
    other.Reset();
    EXPECT_TRUE(GetModuleHandleW(L"QZLOCALE.DLL"));  // the first control still holds it
  }
  EXPECT_FALSE(GetModuleHandleW(L"QZLOCALE.DLL"));
  ComPtr<IDispatch> second = CreateControl();
  ASSERT_TRUE(second);
  EXPECT_EQ(Put(second.Get(), L"MaxFileSize", Var(short{-5})).description, L"Invalid property value");
}

namespace {

// A form saved by one build and loaded by another, through a stream or a property bag.
struct Saved {
  ComPtr<IStream> stream;
  MemoryBag bag;
};

void SaveSample(IDispatch* control, bool through_bag, Saved& saved) {
  ASSERT_EQ(Put(control, L"Filename", Var(L"C:\\kept.txt")).hr, S_OK);
  ASSERT_EQ(Put(control, L"Flags", Var(0x80000L)).hr, S_OK);
  ASSERT_EQ(Put(control, L"MaxFileSize", Var(short{1024})).hr, S_OK);
  ASSERT_EQ(Put(control, L"HelpKey", Var(L"key")).hr, S_OK);
  if (through_bag) {
    ComPtr<IPersistPropertyBag> persist;
    ASSERT_EQ(ComPtr<IDispatch>(control).As(IID_IPersistPropertyBag, persist), S_OK);
    ASSERT_EQ(persist->Save(&saved.bag, TRUE, TRUE), S_OK);
    return;
  }
  ComPtr<IPersistStreamInit> persist;
  ASSERT_EQ(ComPtr<IDispatch>(control).As(IID_IPersistStreamInit, persist), S_OK);
  ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, saved.stream.Put()), S_OK);
  ASSERT_EQ(persist->Save(saved.stream.Get(), TRUE), S_OK);
  LARGE_INTEGER start{};
  saved.stream->Seek(start, STREAM_SEEK_SET, nullptr);
}

HRESULT Load(IDispatch* control, bool through_bag, Saved& saved) {
  if (through_bag) {
    ComPtr<IPersistPropertyBag> persist;
    ComPtr<IDispatch>(control).As(IID_IPersistPropertyBag, persist);
    return persist ? persist->Load(&saved.bag, nullptr) : E_NOINTERFACE;
  }
  ComPtr<IPersistStreamInit> persist;
  ComPtr<IDispatch>(control).As(IID_IPersistStreamInit, persist);
  return persist ? persist->Load(saved.stream.Get()) : E_NOINTERFACE;
}

}  // namespace

// This build stamps its data 1.0; a form saved by either build loads in both.
TEST(Version5Persistence, FormsSavedByEitherBuildLoadInBoth) {
  const wchar_t* const kFull = L"Qzdialog32.ocx";
  const wchar_t* const kOlder = L"Qzcommdl.ocx";
  for (const wchar_t* writer : {kOlder, kFull}) {
    for (const wchar_t* reader : {kOlder, kFull}) {
      for (bool through_bag : {false, true}) {
        SCOPED_TRACE(testing::Message() << writer << " to " << reader << (through_bag ? " in a bag" : " in a stream"));
        ComPtr<IDispatch> saving = CreateControlFrom(writer), loading = CreateControlFrom(reader);
        ASSERT_TRUE(saving && loading);
        Saved saved;
        SaveSample(saving.Get(), through_bag, saved);
        if (!through_bag) {
          DWORD version = 0;
          saved.stream->Read(&version, sizeof version, nullptr);
          EXPECT_EQ(version, writer == kOlder ? 0x00010000u : 0x00070000u);
          LARGE_INTEGER start{};
          saved.stream->Seek(start, STREAM_SEEK_SET, nullptr);
        }
        ASSERT_EQ(Load(loading.Get(), through_bag, saved), S_OK);
        EXPECT_EQ(Get(loading.Get(), L"Filename").value.AsString(), L"C:\\kept.txt");
        EXPECT_EQ(Get(loading.Get(), L"Flags").value.AsLong(), 0x80000);
        EXPECT_EQ(Get(loading.Get(), L"MaxFileSize").value.AsLong(), 1024);
        EXPECT_EQ(Get(loading.Get(), L"HelpKey").value.AsString(), L"key");
      }
    }
  }
}

TEST(Version5Identity, VersionResourceStringsAndExportTable) {
  const std::wstring path = OcxPath();
  EXPECT_EQ(VersionString(path, L"FileVersion"), L"5.0.0055");
  EXPECT_EQ(VersionString(path, L"FileDescription"), L"QzCommonDialog");
  EXPECT_EQ(VersionString(path, L"InternalName"), L"Qzcommdl");
  EXPECT_EQ(VersionString(path, L"OriginalFilename"), L"QZCOMMDL.DLL");
  EXPECT_EQ(VersionString(path, L"OLESelfRegister"), L"");

  const HMODULE module = ControlLibrary::Get().module;
  ASSERT_TRUE(module);
  EXPECT_EQ(ExportTableName(module), "QZCOMMDL.OCX");
  wchar_t text[128] = L"";
  LoadStringW(module, 1, text, 128);
  EXPECT_STREQ(text, L"Halcrest Common Dialog Control");
  LoadStringW(module, 102, text, 128);
  EXPECT_STREQ(text, L"Halcrest QzCommonDialog More Property Page");
  EXPECT_TRUE(GetProcAddress(module, "CommdlgHook"));
  EXPECT_TRUE(GetProcAddress(module, "_ZN11CQzAboutDlgC1Ev"));
  // No picture holder and no unit conversions in this build.
  EXPECT_FALSE(GetProcAddress(module, "_ZN16CQZPictureHolderC1Ev"));
  EXPECT_FALSE(GetProcAddress(module, "_Z17XHimetricToPixelsl"));
}

TEST(Version5Identity, TypeLibraryIsVersionOnePointZeroWithItsHelpFile) {
  ComPtr<IDispatch> ctrl = CreateControl();
  ASSERT_TRUE(ctrl);
  ComPtr<ITypeInfo> info;
  ASSERT_EQ(ctrl->GetTypeInfo(0, LOCALE_USER_DEFAULT, info.Put()), S_OK);
  ComPtr<ITypeLib> library;
  UINT index = 0;
  ASSERT_EQ(info->GetContainingTypeLib(library.Put(), &index), S_OK);
  TLIBATTR* attr = nullptr;
  ASSERT_EQ(library->GetLibAttr(&attr), S_OK);
  EXPECT_EQ(attr->wMajorVerNum, 1);
  EXPECT_EQ(attr->wMinorVerNum, 0);
  EXPECT_EQ(attr->guid, qz::kLibid);
  library->ReleaseTLibAttr(attr);
  BSTR doc = nullptr;
  BSTR help_file = nullptr;
  ASSERT_EQ(library->GetDocumentation(-1, nullptr, &doc, nullptr, &help_file), S_OK);
  EXPECT_STREQ(doc, L"Halcrest Common Dialog Control");
  ASSERT_TRUE(help_file);
  const std::wstring file(help_file);
  EXPECT_EQ(file.substr(file.size() - 11), L"QZVBREF.HLP");
  SysFreeString(doc);
  SysFreeString(help_file);
  // The interface's members by DISPID, as a compiled host would see them.
  BSTR name = nullptr;
  UINT count = 0;
  ComPtr<ITypeInfo> dispatch_info;
  ASSERT_EQ(library->GetTypeInfoOfGuid(qz::kDiidDispatch, dispatch_info.Put()), S_OK);
  ASSERT_EQ(dispatch_info->GetNames(1, &name, 1, &count), S_OK);
  EXPECT_STREQ(name, L"Filename");
  SysFreeString(name);
  ASSERT_EQ(dispatch_info->GetNames(41, &name, 1, &count), S_OK);
  EXPECT_STREQ(name, L"UserColors");
  SysFreeString(name);
  EXPECT_NE(dispatch_info->GetNames(47, &name, 1, &count), S_OK);
}

TEST(Version5AboutBox, MethodShowsTheRuntimeLibraryDialogThroughATemporaryControl) {
  ComPtr<IDispatch> ctrl = CreateControl();
  ASSERT_TRUE(ctrl);
  const HWND own_window = reinterpret_cast<HWND>(static_cast<LONG_PTR>(Get(ctrl.Get(), L"hWnd").value.AsLong()));
  CallResult result;
  const SeenAbout about = AnswerRuntimeAboutBox([&] { result = Call(ctrl.Get(), L"AboutBox"); });
  EXPECT_EQ(result.hr, S_OK);
  ASSERT_TRUE(about.seen);
  // Owned by the temporary control's window, which is gone afterwards.
  ASSERT_TRUE(about.owner);
  EXPECT_NE(about.owner, own_window);
  EXPECT_FALSE(IsWindow(about.owner));
  EXPECT_TRUE(GetModuleHandleW(L"QZRUN32.DLL"));
  // Error texts still come from the right place after the about box.
  EXPECT_EQ(Put(ctrl.Get(), L"MaxFileSize", Var(short{-1})).description, L"Invalid property value");
}

TEST(Version5AboutBox, GeneralPageButtonShowsTheSameDialogAndChangesNothing) {
  ComPtr<IDispatch> ctrl = CreateControl();
  ASSERT_TRUE(ctrl);
  // An error raised first leaves the page's template where it was, in the control's module.
  ASSERT_EQ(Put(ctrl.Get(), L"MaxFileSize", Var(short{-1})).description, L"Invalid property value");
  ComPtr<IClassFactory> factory;
  ASSERT_EQ(ControlLibrary::Get().get_class_object(qz::kClsidGeneralPage, IID_IClassFactory, factory.PutVoid()),
            S_OK);
  ComPtr<IPropertyPage> page;
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IPropertyPage, page.PutVoid()), S_OK);
  IUnknown* objects[] = {ctrl.Get()};
  ASSERT_EQ(page->SetObjects(1, objects), S_OK);
  const HWND host = CreateHostWindow();
  RECT area{0, 0, 380, 180};
  ASSERT_EQ(page->Activate(host, &area, FALSE), S_OK);
  const HWND window = FindWindowExW(host, nullptr, L"#32770", nullptr);
  const HWND button = GetDlgItem(window, 201);
  ASSERT_TRUE(button);
  const SeenAbout about = AnswerRuntimeAboutBox([&] {
    SendMessageW(window, WM_COMMAND, MAKEWPARAM(201, BN_CLICKED), reinterpret_cast<LPARAM>(button));
  });
  EXPECT_TRUE(about.seen);
  EXPECT_TRUE(about.owner);
  EXPECT_EQ(page->IsPageDirty(), S_FALSE);
  page->Deactivate();
  page->SetObjects(0, nullptr);
  DestroyWindow(host);
}

#ifdef _WIN64
TEST(Version5AboutBox, ExportedDefaultConstructorMakesADialogWithoutParent) {
  const HMODULE module = ControlLibrary::Get().module;
  ASSERT_TRUE(module);
  // Construct into raw storage, pre-filled so that a constructor that leaves it alone shows.
  using Constructor = void (*)(void* self);
  auto construct = reinterpret_cast<Constructor>(reinterpret_cast<void*>(GetProcAddress(module, "_ZN11CQzAboutDlgC1Ev")));
  ASSERT_TRUE(construct);
  HWND storage[4];
  memset(storage, 0xAB, sizeof storage);
  construct(storage);
  EXPECT_EQ(storage[0], nullptr);
}
#endif
