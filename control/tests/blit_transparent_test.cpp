// The keyed copy behind the colour Mask, called in-process (it is not exported).
#include <gtest/gtest.h>

#include "blit_transparent.h"
#include "picture_canvas.h"

using namespace qztest;

namespace {

constexpr Pixel kKey = RGB(0, 255, 0);
bool Keyed(int x, int y) { return x % 4 == 0 || y == 3; }
Pixel Source(int x, int y) { return Keyed(x, y) ? kKey : PatternAt(x, y); }
Pixel Behind(int x, int y) { return RGB(0x33, x * 3, y * 3); }

void PaintWith(Canvas& canvas, Pixel (*colour)(int, int)) {
  for (int y = 0; y < canvas.height(); ++y)
    for (int x = 0; x < canvas.width(); ++x) canvas.Set(x, y, colour(x, y));
}

}  // namespace

TEST(BlitTransparent, CopiesAllButTheTargetsBackgroundColour) {
  Canvas source(32, 32, 0), target(48, 48, 0);
  PaintWith(source, Source);
  PaintWith(target, Behind);
  SetBkColor(target.dc(), kKey);
  SetTextColor(target.dc(), RGB(1, 2, 3));
  SetBkColor(source.dc(), RGB(4, 5, 6));
  // The source's area (2, 1, 20, 24) goes to (10, 12).
  ASSERT_TRUE(qz::BlitTransparent(target.dc(), 10, 12, 20, 24, source.dc(), 2, 1));
  EXPECT_EQ(target.Differences([](int x, int y) {
    const bool inside = x >= 10 && x < 30 && y >= 12 && y < 36;
    if (!inside || Keyed(x - 8, y - 11)) return Behind(x, y);
    return PatternAt(x - 8, y - 11);
  }), "");
  // Every colour it changed is put back.
  EXPECT_EQ(GetBkColor(target.dc()), kKey);
  EXPECT_EQ(GetTextColor(target.dc()), RGB(1, 2, 3));
  EXPECT_EQ(GetBkColor(source.dc()), RGB(4, 5, 6));
}

TEST(BlitTransparent, AnotherKeyCutsOutOtherPixels) {
  Canvas source(8, 8, 0), target(8, 8, RGB(7, 7, 7));
  PaintWith(source, Source);
  SetBkColor(target.dc(), PatternAt(1, 1));  // only that pixel is left out
  ASSERT_TRUE(qz::BlitTransparent(target.dc(), 0, 0, 8, 8, source.dc(), 0, 0));
  EXPECT_EQ(target.Differences([](int x, int y) { return x == 1 && y == 1 ? RGB(7, 7, 7) : Source(x, y); }), "");
}

TEST(BlitTransparent, RefusesMissingContextsAndEmptyAreas) {
  Canvas source(8, 8, RGB(50, 60, 70)), target(8, 8, RGB(7, 7, 7));
  EXPECT_FALSE(qz::BlitTransparent(nullptr, 0, 0, 8, 8, source.dc(), 0, 0));
  EXPECT_FALSE(qz::BlitTransparent(target.dc(), 0, 0, 8, 8, nullptr, 0, 0));
  EXPECT_FALSE(qz::BlitTransparent(target.dc(), 0, 0, 0, 8, source.dc(), 0, 0));
  EXPECT_FALSE(qz::BlitTransparent(target.dc(), 0, 0, 8, -1, source.dc(), 0, 0));
  EXPECT_EQ(target.Differences([](int, int) { return RGB(7, 7, 7); }), "");
}

TEST(BlitTransparent, AMaskTooLargeToMakeDrawsNothingAndLeaksNothing) {
  Canvas source(8, 8, RGB(50, 60, 70)), target(8, 8, RGB(7, 7, 7));
  SetBkColor(target.dc(), RGB(1, 1, 1));
  const long before = GdiObjectCount();
  EXPECT_FALSE(qz::BlitTransparent(target.dc(), 0, 0, 0x7FFFFFFF, 0x7FFFFFFF, source.dc(), 0, 0));
  EXPECT_EQ(GdiObjectCount(), before);
  EXPECT_EQ(target.Differences([](int, int) { return RGB(7, 7, 7); }), "");
  EXPECT_EQ(GetBkColor(target.dc()), RGB(1, 1, 1));
}

TEST(BlitTransparent, ReleasesItsMaskAndContext) {
  Canvas source(16, 16, RGB(50, 60, 70)), target(16, 16, RGB(7, 7, 7));
  qz::BlitTransparent(target.dc(), 0, 0, 16, 16, source.dc(), 0, 0);
  const long before = GdiObjectCount();
  EXPECT_TRUE(qz::BlitTransparent(target.dc(), 0, 0, 16, 16, source.dc(), 0, 0));
  EXPECT_EQ(GdiObjectCount(), before);
}
