// Persistence: stream, property bag and storage round trips, data of version 1.0, and damaged
// or short data.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "dialog_driver.h"
#include "qzcommdl_ids.h"
#include "test_support.h"

using namespace qztest;

namespace {

// Writes the stored layout of the control's binary property stream.
class StreamBuilder {
public:
  StreamBuilder& Dword(DWORD v) { return Raw(&v, 4); }
  StreamBuilder& Short(short v) { return Raw(&v, 2); }
  StreamBuilder& Bool(bool v) { return Short(v ? -1 : 0); }
  StreamBuilder& Str(const std::string& s) { Dword(static_cast<DWORD>(s.size())); return Raw(s.data(), s.size()); }
  StreamBuilder& Raw(const void* p, size_t n) {
    const auto* b = static_cast<const unsigned char*>(p);
    bytes.insert(bytes.end(), b, b + n);
    return *this;
  }
  // Everything after the version-specific part, with recognisable values.
  StreamBuilder& Properties(bool with_help_key = true) {
    Str("C:\\data\\part.nc").Short(11).Short(12).Short(13).Short(14).Str("C:\\data").Str("NC|*.nc").Str("nc")
        .Str("Open part").Short(2).Dword(0x80000).Bool(true).Short(1024).Dword(0x00FF00).Short(72).Short(8)
        .Short(3).Short(1).Bool(false).Short(9).Short(1).Dword(77).Str("help.hlp");
    if (with_help_key) Str("key");
    return *this;
  }
  ComPtr<IStream> Stream() const {
    ComPtr<IStream> stream;
    CreateStreamOnHGlobal(nullptr, TRUE, stream.Put());
    stream->Write(bytes.data(), static_cast<ULONG>(bytes.size()), nullptr);
    LARGE_INTEGER zero{};
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    return stream;
  }
  std::vector<unsigned char> bytes;
};

class PersistTest : public testing::Test {
protected:
  void SetUp() override {
    ctrl = CreateControl();
    ASSERT_TRUE(ctrl);
    ASSERT_EQ(ctrl.As(IID_IPersistStreamInit, stream_persist), S_OK);
    ASSERT_EQ(ctrl.As(IID_IPersistPropertyBag, bag_persist), S_OK);
  }
  ComPtr<IStream> SaveToStream() {
    ComPtr<IStream> stream;
    CreateStreamOnHGlobal(nullptr, TRUE, stream.Put());
    EXPECT_EQ(stream_persist->Save(stream.Get(), TRUE), S_OK);
    LARGE_INTEGER zero{};
    stream->Seek(zero, STREAM_SEEK_SET, nullptr);
    return stream;
  }
  void ExpectLoadedProperties(IDispatch* c, bool with_help_key = true) {
    EXPECT_EQ(Get(c, L"FileName").value.AsString(), L"C:\\data\\part.nc");
    EXPECT_EQ(Get(c, L"DialogTop").value.AsLong(), 11);
    EXPECT_EQ(Get(c, L"DialogHeight").value.AsLong(), 14);
    EXPECT_EQ(Get(c, L"Filter").value.AsString(), L"NC|*.nc");
    EXPECT_EQ(Get(c, L"DialogTitle").value.AsString(), L"Open part");
    EXPECT_EQ(Get(c, L"Flags").value.AsLong(), 0x80000);
    EXPECT_TRUE(Get(c, L"CancelError").value.AsBool());
    EXPECT_EQ(Get(c, L"MaxFileSize").value.AsLong(), 1024);
    EXPECT_EQ(Get(c, L"Color").value.AsLong(), 0x00FF00);
    EXPECT_EQ(Get(c, L"Max").value.AsLong(), 72);
    EXPECT_EQ(Get(c, L"Min").value.AsLong(), 8);
    EXPECT_FALSE(Get(c, L"PrinterDefault").value.AsBool());
    EXPECT_EQ(Get(c, L"ToPage").value.AsLong(), 9);
    EXPECT_EQ(Get(c, L"HelpContext").value.AsLong(), 77);
    EXPECT_EQ(Get(c, L"HelpFile").value.AsString(), L"help.hlp");
    EXPECT_EQ(Get(c, L"HelpKey").value.AsString(), with_help_key ? L"key" : L"");
  }
  ComPtr<IDispatch> ctrl;
  ComPtr<IPersistStreamInit> stream_persist;
  ComPtr<IPersistPropertyBag> bag_persist;
};

void SetSample(IDispatch* c) {
  Put(c, L"FileName", Var(L"C:\\data\\part.nc"));
  Put(c, L"DialogTop", Var(short{11}));
  Put(c, L"DialogHeight", Var(short{14}));
  Put(c, L"Filter", Var(L"NC|*.nc"));
  Put(c, L"DialogTitle", Var(L"Open part"));
  Put(c, L"Flags", Var(0x80000L));
  Put(c, L"CancelError", Var(true));
  Put(c, L"MaxFileSize", Var(short{1024}));
  Put(c, L"Color", Var(0x00FF00L));
  Put(c, L"Max", Var(short{72}));
  Put(c, L"Min", Var(short{8}));
  Put(c, L"PrinterDefault", Var(false));
  Put(c, L"ToPage", Var(short{9}));
  Put(c, L"HelpContext", Var(77L));
  Put(c, L"HelpFile", Var(L"help.hlp"));
  Put(c, L"HelpKey", Var(L"key"));
}

}  // namespace

TEST_F(PersistTest, StreamRoundTripCarriesEveryStoredProperty) {
  SetSample(ctrl.Get());
  Put(ctrl.Get(), L"FontName", Var(L"Courier New"));
  Put(ctrl.Get(), L"FontBold", Var(true));
  Put(ctrl.Get(), L"FontSize", Var(20.0));
  const std::wstring font_name = Get(ctrl.Get(), L"FontName").value.AsString();
  const float font_size = Get(ctrl.Get(), L"FontSize").value.v.fltVal;
  ComPtr<IStream> stream = SaveToStream();
  EXPECT_EQ(stream_persist->IsDirty(), S_FALSE);

  ComPtr<IDispatch> copy = CreateControl();
  ComPtr<IPersistStreamInit> persist;
  ASSERT_EQ(copy.As(IID_IPersistStreamInit, persist), S_OK);
  ASSERT_EQ(persist->Load(stream.Get()), S_OK);
  ExpectLoadedProperties(copy.Get());
  EXPECT_EQ(Get(copy.Get(), L"FontName").value.AsString(), font_name);
  EXPECT_FLOAT_EQ(Get(copy.Get(), L"FontSize").value.v.fltVal, font_size);
  EXPECT_TRUE(Get(copy.Get(), L"FontBold").value.AsBool());
  EXPECT_EQ(persist->IsDirty(), S_FALSE);
}

TEST_F(PersistTest, StreamStartsWithVersionSevenAndTheExtent) {
  ComPtr<IStream> stream = SaveToStream();
  DWORD header[2] = {};
  ULONG read = 0;
  ASSERT_EQ(stream->Read(header, sizeof header, &read), S_OK);
  EXPECT_EQ(header[0], 0x00070000u);
  EXPECT_GT(header[1], 0u);  // _ExtentX in HIMETRIC of the 28-pixel control
  ULARGE_INTEGER max{};
  EXPECT_EQ(stream_persist->GetSizeMax(&max), S_OK);
  EXPECT_GT(max.QuadPart, 8u);
}

TEST_F(PersistTest, RuntimeStateIsNotStored) {
  DialogDriver driver(PressCancel);  // Action 3 opens the colour dialog
  ASSERT_EQ(Put(ctrl.Get(), L"Action", Var(short{3})).hr, S_OK);
  driver.Finish();
  ASSERT_TRUE(driver.saw_dialog);
  ASSERT_EQ(Put(ctrl.Get(), L"UserColors", Var(1L), {Var(short{0})}).hr, S_OK);
  ComPtr<IStream> stream = SaveToStream();
  ComPtr<IDispatch> copy = CreateControl();
  ComPtr<IPersistStreamInit> persist;
  copy.As(IID_IPersistStreamInit, persist);
  ASSERT_EQ(persist->Load(stream.Get()), S_OK);
  EXPECT_EQ(Get(copy.Get(), L"Action").value.AsLong(), 0);
  EXPECT_EQ(Get(copy.Get(), L"UserColors", {Var(short{0})}).value.AsLong(), 0xFFFFFF);
}

TEST_F(PersistTest, VersionOneDataWithItsExtraValueLoads) {
  StreamBuilder data;
  data.Dword(0x00010000).Dword(741).Dword(741).Dword(0 /* no stock properties */).Dword(0xDEADBEEF).Properties();
  ComPtr<IStream> stream = data.Stream();
  ASSERT_EQ(stream_persist->Load(stream.Get()), S_OK);
  ExpectLoadedProperties(ctrl.Get());
}

TEST_F(PersistTest, VersionSevenDataWithoutTheExtraValueLoads) {
  StreamBuilder data;
  data.Dword(0x00070000).Dword(741).Dword(741).Dword(0).Properties();
  ASSERT_EQ(stream_persist->Load(data.Stream().Get()), S_OK);
  ExpectLoadedProperties(ctrl.Get());
}

TEST_F(PersistTest, ShortStreamIsRefusedAndTheOldStateKept) {
  SetSample(ctrl.Get());
  Put(ctrl.Get(), L"HelpKey", Var(L"before"));
  StreamBuilder whole;
  whole.Dword(0x00070000).Dword(741).Dword(741).Dword(0).Properties();
  for (size_t cut : {size_t{0}, size_t{3}, size_t{16}, size_t{30}, whole.bytes.size() - 1}) {
    StreamBuilder part;
    part.Raw(whole.bytes.data(), cut);
    EXPECT_EQ(stream_persist->Load(part.Stream().Get()), STG_E_READFAULT) << "cut at " << cut;
    EXPECT_EQ(Get(ctrl.Get(), L"HelpKey").value.AsString(), L"before");
    EXPECT_EQ(Get(ctrl.Get(), L"FileName").value.AsString(), L"C:\\data\\part.nc");
    EXPECT_EQ(Get(ctrl.Get(), L"Max").value.AsLong(), 72);
  }
}

TEST_F(PersistTest, DamagedLengthsAndValuesAreRefused) {
  Put(ctrl.Get(), L"FileName", Var(L"kept"));
  StreamBuilder huge;
  huge.Dword(0x00070000).Dword(741).Dword(741).Dword(0).Dword(0xFFFFFFF0);
  EXPECT_EQ(stream_persist->Load(huge.Stream().Get()), STG_E_DOCFILECORRUPT);
  StreamBuilder extent;
  extent.Dword(0x00070000).Dword(0xFFFFFFFF).Dword(741).Dword(0).Properties();
  EXPECT_EQ(stream_persist->Load(extent.Stream().Get()), STG_E_DOCFILECORRUPT);
  EXPECT_EQ(Get(ctrl.Get(), L"FileName").value.AsString(), L"kept");

  // The error reaches the caller as error information as well.
  IErrorInfo* info = nullptr;
  ASSERT_EQ(GetErrorInfo(0, &info), S_OK);
  BSTR text = nullptr;
  info->GetDescription(&text);
  EXPECT_NE(std::wstring(text ? text : L"").find(L"size"), std::wstring::npos);
  SysFreeString(text);
  info->Release();
}

TEST_F(PersistTest, NullArgumentsAreRefused) {
  EXPECT_EQ(stream_persist->Load(static_cast<IStream*>(nullptr)), E_POINTER);
  EXPECT_EQ(stream_persist->Save(nullptr, TRUE), E_POINTER);
  EXPECT_EQ(bag_persist->Load(nullptr, nullptr), E_POINTER);
}

TEST_F(PersistTest, PropertyBagUsesTheStoredNames) {
  SetSample(ctrl.Get());
  MemoryBag bag;
  ASSERT_EQ(bag_persist->Save(&bag, TRUE, TRUE), S_OK);
  for (const wchar_t* name : {L"_Version", L"_ExtentX", L"_ExtentY", L"_StockProps", L"Font", L"Filename",
                              L"DialogTop", L"DialogLeft", L"DialogWidth", L"DialogHeight", L"InitDir", L"Filter",
                              L"DefaultExt", L"DialogTitle", L"FilterIndex", L"Flags", L"CancelError",
                              L"MaxFileSize", L"Color", L"Max", L"Min", L"Copies", L"FromPage", L"PrinterDefault",
                              L"ToPage", L"HelpCommand", L"HelpContext", L"HelpFile", L"HelpKey"}) {
    EXPECT_EQ(bag.values.count(name), 1u) << testing::PrintToString(std::wstring(name));
  }
  EXPECT_EQ(bag.values.size(), 29u);
  EXPECT_EQ(bag.values[L"_Version"].AsLong(), 0x70000);
  EXPECT_EQ(bag.values[L"Filename"].AsString(), L"C:\\data\\part.nc");
  EXPECT_EQ(bag.values.count(L"Action"), 0u);
}

TEST_F(PersistTest, PropertyBagRoundTrip) {
  SetSample(ctrl.Get());
  Put(ctrl.Get(), L"FontItalic", Var(true));
  MemoryBag bag;
  ASSERT_EQ(bag_persist->Save(&bag, TRUE, TRUE), S_OK);
  ComPtr<IDispatch> copy = CreateControl();
  ComPtr<IPersistPropertyBag> persist;
  copy.As(IID_IPersistPropertyBag, persist);
  ASSERT_EQ(persist->Load(&bag, nullptr), S_OK);
  ExpectLoadedProperties(copy.Get());
  EXPECT_TRUE(Get(copy.Get(), L"FontItalic").value.AsBool());
}

TEST_F(PersistTest, FormsSavedByEarlierHostsLoadFromABag) {
  MemoryBag bag;
  bag.values[L"_Version"] = Var(0x10000L);
  bag.values[L"_ExtentX"] = Var(741L);
  bag.values[L"_ExtentY"] = Var(741L);
  bag.values[L"_StockProps"] = Var(0L);
  bag.values[L"Filename"] = Var(L"old.txt");
  bag.values[L"MaxFileSize"] = Var(L"512");  // bags written as text convert
  ASSERT_EQ(bag_persist->Load(&bag, nullptr), S_OK);
  EXPECT_EQ(Get(ctrl.Get(), L"FileName").value.AsString(), L"old.txt");
  EXPECT_EQ(Get(ctrl.Get(), L"MaxFileSize").value.AsLong(), 512);
  // What the bag lacks keeps its reset default.
  EXPECT_EQ(Get(ctrl.Get(), L"HelpKey").value.AsString(), L"");
  EXPECT_TRUE(Get(ctrl.Get(), L"PrinterDefault").value.AsBool());
}

TEST_F(PersistTest, BagWithAValueOfTheWrongTypeIsRefusedAndTheOldStateKept) {
  Put(ctrl.Get(), L"DialogTop", Var(short{5}));
  MemoryBag bag;
  bag.values[L"DialogLeft"] = Var(short{9});
  bag.values[L"DialogTop"] = Var(L"not a number");
  EXPECT_EQ(bag_persist->Load(&bag, nullptr), DISP_E_TYPEMISMATCH);
  EXPECT_EQ(Get(ctrl.Get(), L"DialogTop").value.AsLong(), 5);
  EXPECT_EQ(Get(ctrl.Get(), L"DialogLeft").value.AsLong(), 0);
  MemoryBag negative;
  negative.values[L"MaxFileSize"] = Var(short{-4});
  EXPECT_EQ(bag_persist->Load(&negative, nullptr), STG_E_DOCFILECORRUPT);
  EXPECT_EQ(Get(ctrl.Get(), L"MaxFileSize").value.AsLong(), 256);
}

TEST_F(PersistTest, StorageRoundTripUsesAContentsStream) {
  SetSample(ctrl.Get());
  ComPtr<ILockBytes> bytes;
  ASSERT_EQ(CreateILockBytesOnHGlobal(nullptr, TRUE, bytes.Put()), S_OK);
  ComPtr<IStorage> storage;
  ASSERT_EQ(StgCreateDocfileOnILockBytes(bytes.Get(), STGM_CREATE | STGM_READWRITE | STGM_SHARE_EXCLUSIVE, 0,
                                         storage.Put()),
            S_OK);
  ComPtr<IPersistStorage> persist;
  ASSERT_EQ(ctrl.As(IID_IPersistStorage, persist), S_OK);
  ASSERT_EQ(persist->Save(storage.Get(), FALSE), S_OK);
  ComPtr<IStream> contents;
  EXPECT_EQ(storage->OpenStream(L"Contents", nullptr, STGM_READ | STGM_SHARE_EXCLUSIVE, 0, contents.Put()), S_OK);
  contents.Reset();

  ComPtr<IDispatch> copy = CreateControl();
  ComPtr<IPersistStorage> copy_persist;
  copy.As(IID_IPersistStorage, copy_persist);
  ASSERT_EQ(copy_persist->Load(storage.Get()), S_OK);
  ExpectLoadedProperties(copy.Get());
}

TEST_F(PersistTest, InitNewResetsToTheDefaults) {
  SetSample(ctrl.Get());
  ASSERT_EQ(stream_persist->InitNew(), S_OK);
  EXPECT_EQ(Get(ctrl.Get(), L"FileName").value.AsString(), L"");
  EXPECT_EQ(Get(ctrl.Get(), L"MaxFileSize").value.AsLong(), 256);
  EXPECT_TRUE(Get(ctrl.Get(), L"PrinterDefault").value.AsBool());
  EXPECT_EQ(stream_persist->IsDirty(), S_FALSE);
  ComPtr<IOleObject> object;
  ctrl.As(IID_IOleObject, object);
  SIZEL extent{};
  object->GetExtent(DVASPECT_CONTENT, &extent);
  EXPECT_EQ(extent.cx, MulDiv(24, 2540, 96));
  EXPECT_EQ(extent.cy, MulDiv(22, 2540, 96));
}
