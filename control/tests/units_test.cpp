// Pure functions of the control: the extended-error table and the multiple-selection list.
#include <gtest/gtest.h>

#include <string>

#include "dib_copy.h"
#include "extended_error.h"
#include "multi_select_list.h"

TEST(MapExtendedError, EveryListedCodeMapsToItsControlError) {
  const struct { DWORD code; long number; } table[] = {
      {0x0002, 32765}, {0x0006, 32761}, {0x0007, 32760}, {0x0008, 32759}, {0x000A, 32757}, {0x1000, 28671},
      {0x1001, 28670}, {0x1002, 28669}, {0x1003, 28668}, {0x1004, 28667}, {0x1005, 28666}, {0x1006, 28665},
      {0x1007, 28664}, {0x1008, 28663}, {0x1009, 28662}, {0x100A, 28661}, {0x100B, 28660}, {0x2001, 24574},
      {0x3001, 20478}, {0x3002, 20477}, {0x3003, 20476},
  };
  for (const auto& row : table) EXPECT_EQ(qz::MapExtendedError(row.code), row.number) << std::hex << row.code;
}

TEST(MapExtendedError, CancelAndUnlistedCodesGiveZero) {
  for (DWORD code : {0x0u, 0x1u, 0x3u, 0x4u, 0x5u, 0x9u, 0xBu, 0xFFFFu, 0x100Cu, 0x2002u, 0x3004u})
    EXPECT_EQ(qz::MapExtendedError(code), 0) << std::hex << code;
}

namespace {
const std::string kExplorerResult("C:\\Data\0a.txt\0b.txt\0\0", 21);
}

TEST(FileNameList, ExplorerResultHandsOutDirectoryThenNames) {
  EXPECT_EQ(qz::FileNameFromList(kExplorerResult, 256, 0), "C:\\Data");
  EXPECT_EQ(qz::FileNameFromList(kExplorerResult, 256, 1), "a.txt");
  EXPECT_EQ(qz::FileNameFromList(kExplorerResult, 256, 2), "b.txt");
  EXPECT_EQ(qz::FileNameFromList(kExplorerResult, 256, 3), "");
  EXPECT_EQ(qz::FileNameFromList(kExplorerResult, 256, 4), "C:\\Data");
  EXPECT_EQ(qz::FileNameFromList(kExplorerResult, 256, -1), "C:\\Data");
}

TEST(FileNameList, SingleFileResult) {
  const std::string single("C:\\x.txt\0\0\0\0", 12);
  EXPECT_EQ(qz::FileNameFromList(single, 12, 0), "C:\\x.txt");
  EXPECT_EQ(qz::FileNameFromList(single, 12, 1), "");
  EXPECT_EQ(qz::FileNameFromList(single, 12, 2), "C:\\x.txt");
}

TEST(FileNameList, NeverReadsPastTheBuffer) {
  const std::string unterminated("abc", 3);
  EXPECT_EQ(qz::FileNameFromList(unterminated, 30000, 0), "abc");
  EXPECT_EQ(qz::FileNameFromList(unterminated, 30000, 5), "abc");
  const std::string ends_in_nul("abc\0", 4);
  EXPECT_EQ(qz::FileNameFromList(ends_in_nul, 30000, 1), "");
  EXPECT_EQ(qz::FileNameFromList("", 256, 0), "");
  // A smaller MaxFileSize limits the scan.
  EXPECT_EQ(qz::FileNameFromList(kExplorerResult, 8, 2), "C:\\Data");
}

namespace {

// A 4-bit DIB section with a red left half and a blue right half, selected into a memory context.
struct FourBitPicture {
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = nullptr;
  HGDIOBJ old = nullptr;
  FourBitPicture() {
    struct {
      BITMAPINFOHEADER header;
      RGBQUAD colours[16];
    } info{};
    info.header = {sizeof(BITMAPINFOHEADER), 8, 8, 1, 4, BI_RGB, 0, 0, 0, 16, 0};
    info.colours[1] = {0, 0, 255, 0};  // red (blue, green, red order)
    info.colours[2] = {255, 0, 0, 0};  // blue
    void* bits = nullptr;
    bitmap = CreateDIBSection(dc, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
    auto* rows = static_cast<unsigned char*>(bits);
    for (int row = 0; row < 8; ++row)
      for (int byte = 0; byte < 4; ++byte) rows[row * 4 + byte] = byte < 2 ? 0x11 : 0x22;
    old = SelectObject(dc, bitmap);
  }
  ~FourBitPicture() {
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
};

struct Canvas {
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bitmap = nullptr;
  HGDIOBJ old = nullptr;
  Canvas() {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), 32, 32, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    bitmap = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    old = SelectObject(dc, bitmap);
  }
  ~Canvas() {
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
};

}  // namespace

TEST(CopyBitmapAsDib, StretchesAFewColourBitmapWithItsColourTable) {
  FourBitPicture picture;
  Canvas canvas;
  ASSERT_TRUE(qz::CopyBitmapAsDib(canvas.dc, picture.dc, RECT{0, 0, 32, 32}, true));
  EXPECT_EQ(GetPixel(canvas.dc, 3, 10), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(canvas.dc, 28, 10), RGB(0, 0, 255));
}

TEST(CopyBitmapAsDib, UnstretchedCopyKeepsTheBitmapSize) {
  FourBitPicture picture;
  Canvas canvas;
  ASSERT_TRUE(qz::CopyBitmapAsDib(canvas.dc, picture.dc, RECT{4, 4, 32, 32}, false));
  EXPECT_EQ(GetPixel(canvas.dc, 5, 5), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(canvas.dc, 11, 5), RGB(0, 0, 255));
  EXPECT_EQ(GetPixel(canvas.dc, 20, 20), RGB(0, 0, 0));  // outside the copy: untouched
}

TEST(CopyBitmapAsDib, WithoutASourceNothingIsDrawn) {
  Canvas canvas;
  EXPECT_FALSE(qz::CopyBitmapAsDib(canvas.dc, nullptr, RECT{0, 0, 4, 4}, true));
  EXPECT_EQ(GetPixel(canvas.dc, 1, 1), RGB(0, 0, 0));
}
