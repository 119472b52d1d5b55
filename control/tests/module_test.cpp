// The module file itself: version resource, strings, pictures, type library and export table.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "test_support.h"

using namespace qztest;

namespace {

HMODULE Ocx() { return ControlLibrary::Get().module; }

std::string VersionString(const std::vector<char>& block, const char* name) {
  const std::string path = std::string("\\StringFileInfo\\040904E4\\") + name;
  char* value = nullptr;
  UINT length = 0;
  if (!VerQueryValueA(block.data(), path.c_str(), reinterpret_cast<void**>(&value), &length)) return "<missing>";
  return std::string(value, length ? length - 1 : 0);
}

std::vector<char> VersionBlock() {
  const std::string path = [] {
    char p[MAX_PATH];
    GetModuleFileNameA(Ocx(), p, MAX_PATH);
    return std::string(p);
  }();
  DWORD ignored = 0;
  std::vector<char> block(GetFileVersionInfoSizeA(path.c_str(), &ignored));
  if (block.empty() || !GetFileVersionInfoA(path.c_str(), 0, static_cast<DWORD>(block.size()), block.data())) block.clear();
  return block;
}

std::wstring ResourceString(UINT id) {
  wchar_t text[256] = L"";
  LoadStringW(Ocx(), id, text, 256);
  return text;
}

}  // namespace

TEST(ModuleFile, VersionResourceNamesTheControl) {
  const std::vector<char> block = VersionBlock();
  ASSERT_FALSE(block.empty());
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
  EXPECT_EQ(fixed->dwFileVersionMS, 0x00070000u);
  EXPECT_EQ(fixed->dwFileVersionLS, 0u);
  EXPECT_EQ(fixed->dwProductVersionMS, 0x00070000u);
  EXPECT_EQ(VersionString(block, "FileVersion"), "7.00.00.00");
  EXPECT_EQ(VersionString(block, "FileDescription"), "QzCommonDialog ActiveX Control");
  EXPECT_EQ(VersionString(block, "InternalName"), "Qzdialog32");
  EXPECT_EQ(VersionString(block, "OriginalFilename"), "Qzdialog32.OCX");
  // Present and empty: marks the module as self-registering.
  EXPECT_EQ(VersionString(block, "OLESelfRegister"), "");
  for (const char* name : {"CompanyName", "LegalCopyright", "LegalTrademarks", "ProductName"})
    EXPECT_NE(VersionString(block, name), "<missing>") << name;
}

TEST(ModuleFile, StringTableHoldsTheTypeNamesAndCaptions) {
  EXPECT_EQ(ResourceString(1), L"Veldran Common Dialog Control");
  EXPECT_EQ(ResourceString(2), L"Veldran Common Dialog Property Page");
  EXPECT_EQ(ResourceString(101), L"General");
  EXPECT_EQ(ResourceString(102), L"Veldran QzCommonDialog More Property Page");
  EXPECT_EQ(ResourceString(103), L"More");
}

TEST(ModuleFile, PicturesHaveTheirSizesAndDepth) {
  const struct { int id; LONG width; LONG height; } pictures[] = {{1, 16, 15}, {8370, 28, 28}};
  for (const auto& p : pictures) {
    HRSRC found = FindResourceW(Ocx(), MAKEINTRESOURCEW(p.id), MAKEINTRESOURCEW(2));  // RT_BITMAP
    ASSERT_TRUE(found) << p.id;
    const auto* header = static_cast<const BITMAPINFOHEADER*>(LockResource(LoadResource(Ocx(), found)));
    ASSERT_TRUE(header);
    EXPECT_EQ(header->biWidth, p.width) << p.id;
    EXPECT_EQ(header->biHeight, p.height) << p.id;
    EXPECT_EQ(header->biBitCount, 4) << p.id;
  }
  EXPECT_TRUE(FindResourceW(Ocx(), MAKEINTRESOURCEW(10), MAKEINTRESOURCEW(14)));  // RT_GROUP_ICON
  EXPECT_TRUE(FindResourceW(Ocx(), MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(3)));    // RT_ICON
  EXPECT_TRUE(FindResourceW(Ocx(), MAKEINTRESOURCEW(1), L"TYPELIB"));
}

TEST(ModuleFile, EmbeddedTypeLibraryIsVersionSeven) {
  ComPtr<ITypeLib> typelib;
  ASSERT_EQ(LoadTypeLibEx(OcxPath().c_str(), REGKIND_NONE, typelib.Put()), S_OK);
  TLIBATTR* attr = nullptr;
  ASSERT_EQ(typelib->GetLibAttr(&attr), S_OK);
  EXPECT_EQ(attr->wMajorVerNum, 7);
  EXPECT_EQ(attr->wMinorVerNum, 0);
  typelib->ReleaseTLibAttr(attr);
  BSTR name = nullptr;
  ASSERT_EQ(typelib->GetDocumentation(-1, &name, nullptr, nullptr, nullptr), S_OK);
  EXPECT_STREQ(name, L"QzcommdlLib");
  SysFreeString(name);
  // The published constant groups.
  for (const wchar_t* group : {L"ErrorConstants", L"FileOpenConstants", L"ColorConstants", L"FontsConstants",
                               L"PrinterConstants", L"HelpConstants"}) {
    ITypeInfo* info = nullptr;
    MEMBERID id = 0;
    USHORT found = 1;
    ASSERT_EQ(typelib->FindName(const_cast<LPOLESTR>(group), 0, &info, &id, &found), S_OK);
    EXPECT_EQ(found, 1) << testing::PrintToString(std::wstring(group));
    if (info) info->Release();
  }
}

TEST(ModuleFile, ExportTableNamesTheModuleAndItsEntryPoints) {
  const auto* base = reinterpret_cast<const BYTE*>(Ocx());
  const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
  const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  ASSERT_NE(dir.VirtualAddress, 0u);
  const auto* exports = reinterpret_cast<const IMAGE_EXPORT_DIRECTORY*>(base + dir.VirtualAddress);
  EXPECT_STREQ(reinterpret_cast<const char*>(base + exports->Name), "QZCOMMONDIALOG.OCX");
  const auto* names = reinterpret_cast<const DWORD*>(base + exports->AddressOfNames);
  std::vector<std::string> listed;
  for (DWORD i = 0; i < exports->NumberOfNames; ++i) listed.emplace_back(reinterpret_cast<const char*>(base + names[i]));
  // First the unit conversions and the picture holder under the names the platform's usual C++
  // compiler gives them (the platform-ABI caller test links them by those names)...
  const auto own = std::find_if(listed.begin(), listed.end(), [](const std::string& n) { return n[0] != '?'; });
  EXPECT_EQ(own - listed.begin(), 16);
  listed.erase(listed.begin(), own);
  // ...then the dialog hooks, the unit conversions under this compiler's names (18 names on 16
  // entry points) and the picture holder's constructors, destructors and members.
  EXPECT_EQ(listed, (std::vector<std::string>{"CommdlgColorHook", "CommdlgFontHook", "CommdlgHook", "CommdlgPrintHook",
                                               "CommdlgPrintSetupHook", "DllCanUnloadNow", "DllGetClassObject", "DllRegisterServer",
                                               "DllUnregisterServer",
                                               "_Z14XPixelsToTwipsiP3CDC",
                                               "_Z14XTwipsToPixelsiP3CDC",
                                               "_Z14YPixelsToTwipsiP3CDC",
                                               "_Z14YTwipsToPixelsiP3CDC",
                                               "_Z17XHimetricToPixelsl",
                                               "_Z17XHimetricToPixelslP3CDC",
                                               "_Z17XPixelsToHimetricl",
                                               "_Z17YHimetricToPixelsl",
                                               "_Z17YHimetricToPixelslP3CDC",
                                               "_Z17YPixelsToHimetricl",
                                               "_Z20XContainerToHimetricPN3qzf10OleControlEf",
                                               "_Z20XHimetricToContainerPN3qzf10OleControlEl",
                                               "_Z20YContainerToHimetricPN3qzf10OleControlEf",
                                               "_Z20YHimetricToContainerPN3qzf10OleControlEl",
                                               "_Z24WidthContainerToHimetricPN3qzf10OleControlEf",
                                               "_Z24WidthHimetricToContainerPN3qzf10OleControlEl",
                                               "_Z25HeightContainerToHimetricPN3qzf10OleControlEf",
                                               "_Z25HeightHimetricToContainerPN3qzf10OleControlEl",
                                               "_ZN16CQZPictureHolder10ShowStatusEP3CDCS1_5CRect",
                                               "_ZN16CQZPictureHolder4MaskEP3CDCR5CRectPS_PS2_",
                                               "_ZN16CQZPictureHolder4MaskEP3CDCR5CRectmPS2_",
                                               "_ZN16CQZPictureHolder6RenderEP3CDCR5CRectiiillPS2_",
                                               "_ZN16CQZPictureHolderC1Ev",
                                               "_ZN16CQZPictureHolderC2Ev",
                                               "_ZN16CQZPictureHolderD0Ev",
                                               "_ZN16CQZPictureHolderD1Ev",
                                               "_ZN16CQZPictureHolderD2Ev"}));
}
