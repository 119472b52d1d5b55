// Bad input to the exported CQZPictureHolder, and its GDI bookkeeping: every call, drawn or not,
// leaves the process with the GDI objects it had before.
#include <gtest/gtest.h>

#include <chrono>

#include "com_ptr.h"
#include "picture_canvas.h"
#include "qz_picture_holder.h"

using namespace qztest;

namespace {

constexpr Pixel kUntouched = RGB(1, 2, 3);
constexpr long kHimetricPerPixel96 = 2540 / 96 + 1;  // comfortably one pixel at any usual resolution

bool Untouched(const Canvas& canvas) {
  return canvas.Differences([](int, int) { return kUntouched; }).empty();
}

struct Holders {
  CQZPictureHolder bitmap, icon, mask;
  Holders() {
    qzf::ComPtr<IPicture> p;
    p.Attach(MakeBitmapPicture(32, 32, PatternAt));
    bitmap.SetPicture(p.Get());
    p.Attach(MakeIconPicture(32, PatternAt, [](int x, int y) { return (x ^ y) & 4; }));
    icon.SetPicture(p.Get());
    p.Attach(MakeBitmapPicture(32, 32, [](int x, int) { return x < 16 ? RGB(0, 0, 0) : RGB(255, 255, 255); }));
    mask.SetPicture(p.Get());
  }
};

// Runs `draw` once to let the platform make what it keeps, then checks that a second run
// changes the process's GDI object count by nothing.
template <class Draw>
long GdiChange(Draw draw) {
  draw();
  const long before = GdiObjectCount();
  draw();
  return GdiObjectCount() - before;
}

}  // namespace

TEST(PictureGdi, TheCountSeesObjectsComeAndGo) {
  const long before = GdiObjectCount();
  HBRUSH brush = CreateSolidBrush(RGB(1, 2, 3));
  HDC dc = CreateCompatibleDC(nullptr);
  EXPECT_EQ(GdiObjectCount() - before, 2);
  DeleteDC(dc);
  DeleteObject(brush);
  EXPECT_EQ(GdiObjectCount(), before);
}

TEST(PictureGdi, EveryDrawingPathReleasesWhatItMade) {
  Holders h;
  CQZPictureHolder empty;
  Canvas canvas(80, 80, kUntouched);
  CRect target(4, 4, 70, 60);
  CRect zero(4, 4, 4, 60);
  CRect bitmap(0, 0, 32, 32);
  for (int mode : {kRenderStretch, kRenderSingle, kRenderTile, 5}) {
    EXPECT_EQ(GdiChange([&] { h.bitmap.Render(canvas.cdc(), target, mode, 2, 2, RGB(9, 9, 9), SRCCOPY, nullptr); }), 0)
        << "bitmap mode " << mode;
    EXPECT_EQ(GdiChange([&] { h.icon.Render(canvas.cdc(), target, mode, 1, 1, RGB(9, 9, 9), SRCCOPY, &bitmap); }), 0)
        << "icon mode " << mode;
  }
  EXPECT_EQ(GdiChange([&] { h.bitmap.Render(canvas.cdc(), zero, kRenderTile, 0, 0, 0, SRCCOPY, nullptr); }), 0);
  EXPECT_EQ(GdiChange([&] { empty.Render(canvas.cdc(), target, kRenderTile, 0, 0, 0, SRCCOPY, nullptr); }), 0);
  EXPECT_EQ(GdiChange([&] { h.bitmap.Mask(canvas.cdc(), target, RGB(1, 1, 1), nullptr); }), 0);
  EXPECT_EQ(GdiChange([&] { h.icon.Mask(canvas.cdc(), target, RGB(1, 1, 1), nullptr); }), 0);
  EXPECT_EQ(GdiChange([&] { h.bitmap.Mask(canvas.cdc(), target, &h.mask, &bitmap); }), 0);
  EXPECT_EQ(GdiChange([&] { h.bitmap.Mask(canvas.cdc(), zero, &h.mask, &bitmap); }), 0);
  EXPECT_EQ(GdiChange([&] { h.bitmap.ShowStatus(canvas.cdc(), canvas.cdc(), CRect(0, 0, 8, 8)); }), 0);
}

TEST(PictureGdi, AFailedWorkBitmapReleasesTheRest) {
  // 200000 pixels square: no display bitmap of that size can be made.
  ScriptedPicture huge(PICTYPE_BITMAP, 200000 * kHimetricPerPixel96, 200000 * kHimetricPerPixel96);
  CQZPictureHolder holder;
  holder.SetPicture(&huge);
  Canvas canvas(16, 16, kUntouched);
  CRect target(0, 0, 16, 16);
  EXPECT_EQ(GdiChange([&] {
    EXPECT_FALSE(holder.Render(canvas.cdc(), target, kRenderSingle, 0, 0, 0, SRCCOPY, nullptr));
  }), 0);
  EXPECT_EQ(huge.renders, 0);
  EXPECT_TRUE(Untouched(canvas));
  holder.SetPicture(nullptr);
  EXPECT_EQ(huge.refs(), 1u);
}

TEST(PictureInput, NullTargetDrawsNothing) {
  Holders h;
  CRect target(0, 0, 32, 32);
  CRect bitmap(0, 0, 32, 32);
  CDC no_output;  // neither context set
  EXPECT_FALSE(h.bitmap.Render(nullptr, target, kRenderStretch, 0, 0, 0, SRCCOPY, nullptr));
  EXPECT_FALSE(h.bitmap.Render(&no_output, target, kRenderStretch, 0, 0, 0, SRCCOPY, nullptr));
  EXPECT_FALSE(h.bitmap.Mask(nullptr, target, RGB(0, 0, 0), nullptr));
  EXPECT_FALSE(h.bitmap.Mask(&no_output, target, RGB(0, 0, 0), nullptr));
  EXPECT_FALSE(h.bitmap.Mask(nullptr, target, &h.mask, &bitmap));
  EXPECT_FALSE(h.bitmap.Mask(&no_output, target, &h.mask, &bitmap));
  h.bitmap.ShowStatus(nullptr, nullptr, target);
  h.bitmap.ShowStatus(&no_output, nullptr, target);
}

TEST(PictureInput, EmptyOrUninitialisedPictureDrawsNothing) {
  Canvas canvas(40, 40, kUntouched);
  CRect target(0, 0, 40, 40);
  CQZPictureHolder never_set;
  EXPECT_FALSE(never_set.Render(canvas.cdc(), target, kRenderStretch, 0, 0, RGB(9, 9, 9), SRCCOPY, nullptr));
  EXPECT_FALSE(never_set.Mask(canvas.cdc(), target, RGB(9, 9, 9), nullptr));

  CQZPictureHolder none;
  ASSERT_TRUE(none.CreateEmpty());
  EXPECT_EQ(none.GetType(), PICTYPE_NONE);
  EXPECT_FALSE(none.Render(canvas.cdc(), target, kRenderTile, 0, 0, RGB(9, 9, 9), SRCCOPY, nullptr));

  ScriptedPicture uninitialised(PICTYPE_UNINITIALIZED, 846, 846);
  CQZPictureHolder holder;
  holder.SetPicture(&uninitialised);
  EXPECT_FALSE(holder.Render(canvas.cdc(), target, kRenderSingle, 0, 0, RGB(9, 9, 9), SRCCOPY, nullptr));
  EXPECT_FALSE(holder.Mask(canvas.cdc(), target, RGB(9, 9, 9), nullptr));
  EXPECT_EQ(uninitialised.renders, 0);
  EXPECT_TRUE(Untouched(canvas));
}

TEST(PictureInput, ZeroSizeOrInvertedRectanglesDrawNothing) {
  Holders h;
  Canvas canvas(40, 40, kUntouched);
  CRect bitmap(0, 0, 32, 32);
  for (CRect target : {CRect(5, 5, 5, 30), CRect(5, 5, 30, 5), CRect(30, 5, 5, 30), CRect(5, 30, 30, 5),
                       CRect(-2000000000, 0, 2000000000, 10)}) {
    for (int mode : {kRenderStretch, kRenderSingle, kRenderTile})
      EXPECT_FALSE(h.bitmap.Render(canvas.cdc(), target, mode, 2, 2, RGB(9, 9, 9), SRCCOPY, nullptr)) << mode;
    EXPECT_FALSE(h.bitmap.Mask(canvas.cdc(), target, RGB(9, 9, 9), nullptr));
    EXPECT_FALSE(h.bitmap.Mask(canvas.cdc(), target, &h.mask, &bitmap));
  }
  EXPECT_TRUE(Untouched(canvas));
}

TEST(PictureInput, PictureWithoutAreaIsNotTiledForever) {
  ScriptedPicture flat(PICTYPE_BITMAP, 0, 846);
  CQZPictureHolder holder;
  holder.SetPicture(&flat);
  Canvas canvas(40, 40, kUntouched);
  CRect target(0, 0, 40, 40);
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(holder.Render(canvas.cdc(), target, kRenderTile, 0, 0, RGB(9, 9, 9), SRCCOPY, nullptr));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));
  EXPECT_TRUE(Untouched(canvas));
}

TEST(PictureInput, ScriptedPictureIsDrawnIntoTheWorkBitmapOnce) {
  ScriptedPicture picture(PICTYPE_BITMAP, 846, 846);
  CQZPictureHolder holder;
  holder.SetPicture(&picture);
  Canvas canvas(100, 100, kUntouched);
  CRect target(0, 0, 100, 100);
  EXPECT_TRUE(holder.Render(canvas.cdc(), target, kRenderTile, 0, 0, RGB(9, 9, 9), SRCCOPY, nullptr));
  EXPECT_EQ(picture.renders, 1);
  // The picture drew nothing, so the tiles show the background fill.
  EXPECT_EQ(canvas.At(0, 0), RGB(9, 9, 9));
  EXPECT_EQ(canvas.At(99, 99), RGB(9, 9, 9));
  holder.SetPicture(nullptr);
}
