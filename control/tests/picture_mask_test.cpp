// The transparent drawing of the exported CQZPictureHolder (both Mask overloads) and its screen
// diagnostic ShowStatus.
#include <gtest/gtest.h>

#include "com_ptr.h"
#include "picture_canvas.h"
#include "qz_picture_holder.h"

using namespace qztest;

namespace {

constexpr Pixel kKey = RGB(255, 0, 255);
// What the canvas shows before drawing: a second pattern, distinct from the picture's.
Pixel Behind(int x, int y) { return RGB(0x21, (x * 5) % 250, (y * 3) % 250); }

bool Keyed(int x, int y) { return (x + 2 * y) % 3 == 0; }
bool InDisc(int x, int y) { return (x - 16) * (x - 16) + (y - 16) * (y - 16) < 12 * 12; }
bool Inside(const RECT& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

void Paint(Canvas& canvas) {
  for (int y = 0; y < canvas.height(); ++y)
    for (int x = 0; x < canvas.width(); ++x) canvas.Set(x, y, Behind(x, y));
}

void Hold(CQZPictureHolder& holder, IPicture* picture) {
  qzf::ComPtr<IPicture> owned;
  owned.Attach(picture);
  holder.SetPicture(owned.Get());
}

}  // namespace

TEST(PictureMaskColour, PixelsOfTheKeyColourLeaveTheTargetUnchanged) {
  CQZPictureHolder holder;
  Hold(holder, MakeBitmapPicture(32, 32, [](int x, int y) { return Keyed(x, y) ? kKey : PatternAt(x, y); }));
  Canvas canvas(56, 56, 0);
  Paint(canvas);
  SetBkColor(canvas.dc(), RGB(9, 9, 9));
  SetTextColor(canvas.dc(), RGB(200, 200, 200));
  CRect target(8, 12, 40, 44);
  ASSERT_TRUE(holder.Mask(canvas.cdc(), target, kKey, nullptr));
  EXPECT_EQ(canvas.Differences([&](int x, int y) {
    if (!Inside(target, x, y) || Keyed(x - 8, y - 12)) return Behind(x, y);
    return PatternAt(x - 8, y - 12);
  }), "");
  // The target is left keyed on the transparent colour, with black text.
  EXPECT_EQ(GetBkColor(canvas.dc()), kKey);
  EXPECT_EQ(GetTextColor(canvas.dc()), RGB(0, 0, 0));
}

TEST(PictureMaskColour, StretchesThePictureToTheRectangle) {
  CQZPictureHolder holder;
  Hold(holder, MakeBitmapPicture(32, 32, [](int x, int y) { return Keyed(x, y) ? kKey : PatternAt(x, y); }));
  Canvas canvas(64, 64, 0);
  Paint(canvas);
  CRect target(0, 0, 64, 64);
  ASSERT_TRUE(holder.Mask(canvas.cdc(), target, kKey, nullptr));
  EXPECT_EQ(canvas.Differences([](int x, int y) {
    return Keyed(x / 2, y / 2) ? Behind(x, y) : PatternAt(x / 2, y / 2);
  }), "");
}

TEST(PictureMaskColour, AnIconUsesItsOwnTransparency) {
  CQZPictureHolder holder;
  Hold(holder, MakeIconPicture(32, PatternAt, InDisc));
  Canvas canvas(40, 40, 0);
  Paint(canvas);
  CRect target(4, 4, 36, 36);
  // The key is a colour the icon shows: it must not cut anything out.
  ASSERT_TRUE(holder.Mask(canvas.cdc(), target, PatternAt(16, 16), nullptr));
  EXPECT_EQ(canvas.Differences([&](int x, int y) {
    return Inside(target, x, y) && InDisc(x - 4, y - 4) ? PatternAt(x - 4, y - 4) : Behind(x, y);
  }), "");
}

TEST(PictureMaskHolder, ShowsTheImageWhereTheMaskIsBlack) {
  CQZPictureHolder image, mask;
  Hold(image, MakeBitmapPicture(32, 32, [](int x, int y) { return InDisc(x, y) ? PatternAt(x, y) : RGB(0, 0, 0); }));
  Hold(mask, MakeBitmapPicture(32, 32, [](int x, int y) { return InDisc(x, y) ? RGB(0, 0, 0) : RGB(255, 255, 255); }));
  Canvas canvas(48, 48, 0);
  Paint(canvas);
  CRect target(10, 6, 42, 38);
  CRect bitmap(0, 0, 32, 32);
  ASSERT_TRUE(image.Mask(canvas.cdc(), target, &mask, &bitmap));
  EXPECT_EQ(canvas.Differences([&](int x, int y) {
    return Inside(target, x, y) && InDisc(x - 10, y - 6) ? PatternAt(x - 10, y - 6) : Behind(x, y);
  }), "");
}

TEST(PictureMaskHolder, MissingMaskOrBitmapRectangleDrawsNothing) {
  CQZPictureHolder image, mask, empty;
  Hold(image, MakeBitmapPicture(32, 32, PatternAt));
  Hold(mask, MakeBitmapPicture(32, 32, [](int, int) { return RGB(0, 0, 0); }));
  Canvas canvas(40, 40, 0);
  Paint(canvas);
  CRect target(0, 0, 32, 32);
  CRect bitmap(0, 0, 32, 32);
  CRect no_area(5, 5, 5, 40);
  EXPECT_FALSE(image.Mask(canvas.cdc(), target, &mask, nullptr));
  EXPECT_FALSE(image.Mask(canvas.cdc(), target, static_cast<CQZPictureHolder*>(nullptr), &bitmap));
  EXPECT_FALSE(image.Mask(canvas.cdc(), target, &empty, &bitmap));
  EXPECT_FALSE(empty.Mask(canvas.cdc(), target, &mask, &bitmap));
  EXPECT_FALSE(image.Mask(canvas.cdc(), target, &mask, &no_area));
  EXPECT_FALSE(image.Mask(nullptr, target, &mask, &bitmap));
  EXPECT_EQ(canvas.Differences(Behind), "");
}

TEST(PictureShowStatus, CopiesBothContextsSideBySideToTheScreen) {
  CQZPictureHolder holder;
  Canvas first(20, 20, RGB(10, 200, 30));
  Canvas second(20, 20, RGB(220, 20, 90));
  holder.ShowStatus(first.cdc(), second.cdc(), CRect(100, 100, 120, 120));  // only the size counts
  HDC screen = GetDC(nullptr);
  ASSERT_TRUE(screen);
  const COLORREF left = GetPixel(screen, 5, 15), right = GetPixel(screen, 35, 25), gap = GetPixel(screen, 25, 15);
  // A missing context leaves its half of the screen alone.
  SetPixel(screen, 35, 25, RGB(0, 0, 0));
  holder.ShowStatus(first.cdc(), nullptr, CRect(0, 0, 20, 20));
  const COLORREF untouched = GetPixel(screen, 35, 25);
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(left, RGB(10, 200, 30));
  EXPECT_EQ(right, RGB(220, 20, 90));
  EXPECT_NE(gap, RGB(10, 200, 30));
  EXPECT_NE(gap, RGB(220, 20, 90));
  EXPECT_EQ(untouched, RGB(0, 0, 0));
}
