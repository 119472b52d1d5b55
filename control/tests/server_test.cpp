// The COM server: class objects, unload counts and self-registration with the registry state
// it leaves.
#include <gtest/gtest.h>
#include <olectl.h>

#include "qzcommdl_ids.h"
#include "test_support.h"

using namespace qztest;

namespace {

constexpr wchar_t kClsidKey[] = L"CLSID\\{F8D4CCA0-D7AE-11CE-9577-0020AF039CA3}";
constexpr wchar_t kTypeLibKey[] = L"TypeLib\\{F8D4CCA3-D7AE-11CE-9577-0020AF039CA3}\\7.0";

bool KeyExists(const std::wstring& key) {
  HKEY h = nullptr;
  if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key.c_str(), 0, KEY_READ, &h) != ERROR_SUCCESS) return false;
  RegCloseKey(h);
  return true;
}

std::wstring Value(const std::wstring& key, const wchar_t* name = nullptr) {
  wchar_t data[1024] = L"<missing>";
  DWORD size = sizeof data;
  RegGetValueW(HKEY_CLASSES_ROOT, key.c_str(), name, RRF_RT_REG_SZ, nullptr, data, &size);
  return data;
}

class Registration : public testing::Test {
protected:
  void SetUp() override { lib.unregister_server(); }
  void TearDown() override { lib.unregister_server(); }
  ControlLibrary& lib = ControlLibrary::Get();
};

}  // namespace

TEST(ClassObject, UnknownClassIsNotAvailable) {
  ComPtr<IClassFactory> factory;
  EXPECT_EQ(ControlLibrary::Get().get_class_object(IID_IDispatch, IID_IClassFactory, factory.PutVoid()),
            CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_FALSE(factory);
  EXPECT_EQ(ControlLibrary::Get().get_class_object(qz::kClsidCtrl, IID_IClassFactory, nullptr), E_POINTER);
}

TEST(ClassObject, FactoryRefusesAggregationAndCreatesControls) {
  ComPtr<IClassFactory> factory;
  ASSERT_EQ(ControlLibrary::Get().get_class_object(qz::kClsidCtrl, IID_IClassFactory, factory.PutVoid()), S_OK);
  ComPtr<IUnknown> object;
  IUnknown* outer = reinterpret_cast<IUnknown*>(factory.Get());
  EXPECT_EQ(factory->CreateInstance(outer, IID_IUnknown, object.PutVoid()), CLASS_E_NOAGGREGATION);
  EXPECT_EQ(factory->CreateInstance(nullptr, IID_IClassFactory, object.PutVoid()), E_NOINTERFACE);
  ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, object.PutVoid()), S_OK);
  // One identity for every interface.
  ComPtr<IOleObject> ole;
  ASSERT_EQ(object.As(IID_IOleObject, ole), S_OK);
  ComPtr<IUnknown> again;
  ole.As(IID_IUnknown, again);
  EXPECT_EQ(again.Get(), object.Get());
  ComPtr<IUnknown> dispatch_iid;
  EXPECT_EQ(object.As(qz::kDiidDispatch, dispatch_iid), S_OK);
}

TEST(ClassObject, CanUnloadNowFollowsObjectsAndLocks) {
  ControlLibrary& lib = ControlLibrary::Get();
  EXPECT_EQ(lib.can_unload_now(), S_OK);
  {
    ComPtr<IDispatch> control = CreateControl();
    EXPECT_EQ(lib.can_unload_now(), S_FALSE);
  }
  EXPECT_EQ(lib.can_unload_now(), S_OK);
  ComPtr<IClassFactory> factory;
  lib.get_class_object(qz::kClsidCtrl, IID_IClassFactory, factory.PutVoid());
  factory->LockServer(TRUE);
  IClassFactory* raw = factory.Detach();
  raw->Release();
  EXPECT_EQ(lib.can_unload_now(), S_FALSE);
  lib.get_class_object(qz::kClsidCtrl, IID_IClassFactory, factory.PutVoid());
  factory->LockServer(FALSE);
  factory.Reset();
  EXPECT_EQ(lib.can_unload_now(), S_OK);
}

TEST_F(Registration, RegisterWritesTheControlClassAndTypeLibraryEntries) {
  ASSERT_EQ(lib.register_server(), S_OK);
  const std::wstring clsid = kClsidKey;
  EXPECT_EQ(Value(clsid), L"Veldran Common Dialog Control");
  EXPECT_EQ(Value(clsid + L"\\ProgID"), L"QZCOMMDL.QzcommdlCtrl.1");
  EXPECT_EQ(Value(clsid + L"\\InprocServer32", L"ThreadingModel"), L"Apartment");
  EXPECT_EQ(lstrcmpiW(Value(clsid + L"\\InprocServer32").c_str(), OcxPath().c_str()), 0);
  EXPECT_EQ(Value(clsid + L"\\MiscStatus\\1"), L"131473");
  EXPECT_EQ(Value(clsid + L"\\TypeLib"), L"{F8D4CCA3-D7AE-11CE-9577-0020AF039CA3}");
  EXPECT_EQ(Value(clsid + L"\\Version"), L"7.0");
  EXPECT_TRUE(KeyExists(clsid + L"\\Control"));
  EXPECT_EQ(Value(clsid + L"\\ToolboxBitmap32"), OcxPath() + L", 1");
  EXPECT_EQ(Value(L"QZCOMMDL.QzcommdlCtrl.1\\CLSID"), L"{F8D4CCA0-D7AE-11CE-9577-0020AF039CA3}");
  EXPECT_TRUE(KeyExists(kTypeLibKey));
  // No WINHELP.INI entry: an empty help directory.
  EXPECT_EQ(Value(std::wstring(kTypeLibKey) + L"\\HELPDIR"), L"");
  ComPtr<ITypeLib> typelib;
  EXPECT_EQ(LoadRegTypeLib(qz::kLibid, 7, 0, 0, typelib.Put()), S_OK);
  // And the control can now be created by its ProgID.
  CLSID from_progid{};
  ASSERT_EQ(CLSIDFromProgID(L"QZCOMMDL.QzcommdlCtrl.1", &from_progid), S_OK);
  EXPECT_TRUE(IsEqualCLSID(from_progid, qz::kClsidCtrl));
}

TEST_F(Registration, RegisteringTwiceLeavesTheSameState) {
  ASSERT_EQ(lib.register_server(), S_OK);
  const std::wstring first = Value(std::wstring(kClsidKey) + L"\\InprocServer32");
  ASSERT_EQ(lib.register_server(), S_OK);
  EXPECT_EQ(Value(std::wstring(kClsidKey) + L"\\InprocServer32"), first);
  ASSERT_EQ(lib.unregister_server(), S_OK);
  EXPECT_FALSE(KeyExists(kClsidKey));
}

TEST_F(Registration, UnregisterRemovesWhatRegisterWrote) {
  ASSERT_EQ(lib.register_server(), S_OK);
  ASSERT_EQ(lib.unregister_server(), S_OK);
  EXPECT_FALSE(KeyExists(kClsidKey));
  EXPECT_FALSE(KeyExists(L"QZCOMMDL.QzcommdlCtrl.1"));
  ComPtr<ITypeLib> typelib;
  EXPECT_NE(LoadRegTypeLib(qz::kLibid, 7, 0, 0, typelib.Put()), S_OK);
}

TEST_F(Registration, UnregisteringANeverRegisteredTypeLibraryKeepsTheClassKeys) {
  ASSERT_EQ(lib.register_server(), S_OK);
  // Remove only the type library, as if it had never been registered.
  const SYSKIND kind = sizeof(void*) == 8 ? SYS_WIN64 : SYS_WIN32;
  ASSERT_EQ(UnRegisterTypeLib(qz::kLibid, 7, 0, LOCALE_NEUTRAL, kind), S_OK);
  EXPECT_EQ(lib.unregister_server(), SELFREG_E_TYPELIB);
  EXPECT_TRUE(KeyExists(kClsidKey));
  EXPECT_TRUE(KeyExists(L"QZCOMMDL.QzcommdlCtrl.1"));
  // Clean up through a full registration.
  ASSERT_EQ(lib.register_server(), S_OK);
}

TEST_F(Registration, HelpDirectoryComesFromWinhelpIni) {
  wchar_t windows[MAX_PATH];
  GetWindowsDirectoryW(windows, MAX_PATH);
  const std::wstring ini = std::wstring(windows) + L"\\WINHELP.INI";
  ASSERT_TRUE(WritePrivateProfileStringW(L"Files", L"QZVBREF.HLP", L"C:\\help", ini.c_str()));
  const HRESULT hr = lib.register_server();
  const std::wstring help_dir = Value(std::wstring(kTypeLibKey) + L"\\HELPDIR");
  WritePrivateProfileStringW(L"Files", L"QZVBREF.HLP", nullptr, ini.c_str());
  ASSERT_EQ(hr, S_OK);
  EXPECT_EQ(help_dir, L"C:\\help");
}
