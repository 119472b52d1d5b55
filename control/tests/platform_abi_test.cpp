// The exports called by a module built for the ABI of the platform's usual C++ compiler
// (platform_abi/caller.cpp, linked against the import library by that compiler's names): each
// call gives what the same call gives through this compiler's names, and draws the same pixels.
#include <gtest/gtest.h>

#include <vector>

#include "com_ptr.h"
#include "picture_canvas.h"
#include "qz_picture_holder.h"
#include "test_support.h"
#include "unit_conversion.h"

using namespace qztest;

namespace {

using RunCalls = int (*)(HDC screen, HDC target, void* picture, int width, int height, int* out);

constexpr int kSize = 48;
constexpr Pixel kUntouched = RGB(1, 2, 3);

// The caller's sequence of calls, made here through this compiler's names.
std::vector<int> RunHere(HDC screen, Canvas& canvas, IPicture* picture) {
  CDC screen_dc;
  screen_dc.m_hDC = screen_dc.m_hAttribDC = screen;
  std::vector<int> out = {XHimetricToPixels(2540),         YHimetricToPixels(2540),
                          XHimetricToPixels(2540, &screen_dc), YHimetricToPixels(2540, &screen_dc),
                          XPixelsToHimetric(96),           YPixelsToHimetric(96),
                          XPixelsToTwips(10, &screen_dc),  YPixelsToTwips(10, &screen_dc),
                          XTwipsToPixels(23, &screen_dc),  YTwipsToPixels(23, &screen_dc)};
  CQZPictureHolder holder;
  holder.SetPicture(picture);
  CRect whole(0, 0, kSize, kSize), left(0, 0, kSize / 2, kSize);
  int drawn = 0;
  for (int i = 0; i < 50; ++i) drawn += holder.Render(canvas.cdc(), whole, 0, 0, 0, 0xFFFFFF, SRCCOPY, nullptr);
  out.push_back(drawn);
  out.push_back(holder.Render(canvas.cdc(), whole, 1, 2, 2, 0x00FF00, SRCCOPY, nullptr));
  out.push_back(holder.Mask(canvas.cdc(), left, 0x000000ul, nullptr));
  CQZPictureHolder empty;
  out.push_back(holder.Mask(canvas.cdc(), left, &empty, &left));
  out.push_back(holder.Mask(canvas.cdc(), whole, 0x000000ul, nullptr));
  return out;
}

}  // namespace

TEST(PlatformAbiCaller, GetsTheSameResultsAndPixelsAsThisCompilersCallers) {
  const HMODULE caller = LoadLibraryW((ExeDirectory() + L"QzPlatformCaller.dll").c_str());
  ASSERT_TRUE(caller) << "the caller module did not load (error " << GetLastError() << ")";
  const auto run = reinterpret_cast<RunCalls>(reinterpret_cast<void*>(GetProcAddress(caller, "RunCalls")));
  ASSERT_TRUE(run);
  qzf::ComPtr<IPicture> picture;
  picture.Attach(MakeBitmapPicture(32, 32, PatternAt));
  ASSERT_TRUE(picture);
  const HDC screen = GetDC(nullptr);
  Canvas here(kSize, kSize, kUntouched), there(kSize, kSize, kUntouched);
  const std::vector<int> expected = RunHere(screen, here, picture.Get());

  std::vector<int> got(expected.size() + 1, -1);
  picture->AddRef();  // the caller's holder releases it
  const ULONG references = picture->AddRef() - 1;
  picture->Release();
  EXPECT_EQ(run(screen, there.dc(), picture.Get(), kSize, kSize, got.data()), static_cast<int>(expected.size()));
  got.resize(expected.size());
  EXPECT_EQ(got, expected);
  EXPECT_EQ(picture->AddRef() - 1, references - 1) << "the caller's holder kept its reference";
  picture->Release();
  EXPECT_EQ(there.Differences([&](int x, int y) { return here.At(x, y); }), "");
  ReleaseDC(nullptr, screen);
  FreeLibrary(caller);
}
