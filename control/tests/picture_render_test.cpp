// CQZPictureHolder::Render through the module's exported class, as another control uses it:
// each case draws into a memory canvas and checks every pixel of it.
#include <gtest/gtest.h>

#include "com_ptr.h"
#include "picture_canvas.h"
#include "qz_picture_holder.h"

using namespace qztest;

namespace {

constexpr Pixel kUntouched = RGB(1, 2, 3);
constexpr Pixel kBackground = RGB(200, 40, 160);

// A holder of a 32 x 32 bitmap picture with a different colour in every pixel.
struct PatternHolder {
  CQZPictureHolder holder;
  explicit PatternHolder(int size = 32) {
    qzf::ComPtr<IPicture> picture;
    picture.Attach(MakeBitmapPicture(size, size, PatternAt));
    holder.SetPicture(picture.Get());
  }
};

bool Inside(const RECT& r, int x, int y) { return x >= r.left && x < r.right && y >= r.top && y < r.bottom; }

// Each canvas pixel: `inside(x, y)` within `r`, untouched outside.
auto Within(const RECT& r, std::function<Pixel(int, int)> inside) {
  return [r, inside](int x, int y) { return Inside(r, x, y) ? inside(x, y) : kUntouched; };
}

// One copy of the pattern with its top-left corner at (left, top), clipped to `clip`.
auto CopyAt(int left, int top, const RECT& clip) {
  return [=](int x, int y) {
    const RECT copy{left, top, left + 32, top + 32};
    return Inside(clip, x, y) && Inside(copy, x, y) ? PatternAt(x - left, y - top) : kUntouched;
  };
}

}  // namespace

TEST(PictureHolderClass, VirtualSlotsAreRenderThenBothMasks) {
  CQZPictureHolder holder;
  HMODULE module = GetModuleHandleW(L"Qzdialog32.ocx");
  ASSERT_TRUE(module);
  void* const* slots = *reinterpret_cast<void* const* const*>(&holder);
  const char* names[] = {"_ZN16CQZPictureHolder6RenderEP3CDCR5CRectiiillPS2_",
                         "_ZN16CQZPictureHolder4MaskEP3CDCR5CRectmPS2_",
                         "_ZN16CQZPictureHolder4MaskEP3CDCR5CRectPS_PS2_", "_ZN16CQZPictureHolderD1Ev"};
  for (int i = 0; i < 4; ++i)
    EXPECT_EQ(slots[i], reinterpret_cast<void*>(GetProcAddress(module, names[i]))) << names[i];
}

TEST(PictureRender, HolderReportsTheBitmapType) {
  PatternHolder p;
  EXPECT_EQ(p.holder.GetType(), PICTYPE_BITMAP);
  CQZPictureHolder empty;
  EXPECT_EQ(empty.GetType(), PICTYPE_UNINITIALIZED);
}

TEST(PictureRender, StretchDoublesThePicture) {
  PatternHolder p;
  Canvas canvas(80, 80, kUntouched);
  CRect target(0, 0, 64, 64);
  ASSERT_TRUE(p.holder.Render(canvas.cdc(), target, kRenderStretch, 0, 0, kBackground, SRCCOPY, nullptr));
  EXPECT_EQ(canvas.Differences(Within(target, [](int x, int y) { return PatternAt(x / 2, y / 2); })), "");
}

TEST(PictureRender, StretchSquashesIntoAnOffsetRectangle) {
  PatternHolder p;
  Canvas canvas(48, 48, kUntouched);
  SetStretchBltMode(canvas.dc(), COLORONCOLOR);  // whole rows are dropped, none blended
  CRect target(8, 4, 40, 20);  // full width, half height
  ASSERT_TRUE(p.holder.Render(canvas.cdc(), target, kRenderStretch, 0, 0, kBackground, SRCCOPY, nullptr));
  // Row y shows picture row 2 (y - 4) or the one below it: the picture is not upside down.
  EXPECT_EQ(canvas.Differences([&](int x, int y) {
    if (!Inside(target, x, y)) return kUntouched;
    const Pixel got = canvas.At(x, y);
    return got == PatternAt(x - 8, 2 * (y - 4) + 1) ? got : PatternAt(x - 8, 2 * (y - 4));
  }), "");
}

TEST(PictureRender, SingleCopyCentredLandsAt44) {
  PatternHolder p;
  Canvas canvas(128, 128, kUntouched);
  CRect target(10, 10, 110, 110);
  ASSERT_TRUE(p.holder.Render(canvas.cdc(), target, kRenderSingle, kAlignCentre, kAlignCentre, kBackground, SRCCOPY,
                              nullptr));
  EXPECT_EQ(canvas.Differences(CopyAt(44, 44, target)), "");
}

TEST(PictureRender, SingleCopyAlignsRightAndBottom) {
  PatternHolder p;
  Canvas canvas(128, 128, kUntouched);
  CRect target(10, 10, 110, 110);
  ASSERT_TRUE(p.holder.Render(canvas.cdc(), target, kRenderSingle, kAlignFar, kAlignFar, kBackground, SRCCOPY, nullptr));
  EXPECT_EQ(canvas.Differences(CopyAt(78, 78, target)), "");
}

TEST(PictureRender, SingleCopyMixesAlignments) {
  PatternHolder p;
  Canvas canvas(128, 128, kUntouched);
  CRect target(10, 10, 110, 110);
  ASSERT_TRUE(p.holder.Render(canvas.cdc(), target, kRenderSingle, kAlignFar, kAlignCentre, kBackground, SRCCOPY, nullptr));
  EXPECT_EQ(canvas.Differences(CopyAt(78, 44, target)), "");
}

TEST(PictureRender, OtherAlignmentValuesMeanLeftAndTop) {
  for (int alignment : {0, 3, -1, 99}) {
    PatternHolder p;
    Canvas canvas(128, 128, kUntouched);
    CRect target(10, 10, 110, 110);
    ASSERT_TRUE(p.holder.Render(canvas.cdc(), target, kRenderSingle, alignment, alignment, kBackground, SRCCOPY, nullptr));
    EXPECT_EQ(canvas.Differences(CopyAt(10, 10, target)), "") << alignment;
  }
}

TEST(PictureRender, CentringALargerPictureTruncatesTowardZeroAndClips) {
  PatternHolder p;
  Canvas canvas(40, 40, kUntouched);
  CRect target(5, 5, 24, 24);  // (19 - 32) / 2 is -6, so the copy starts at -1
  ASSERT_TRUE(p.holder.Render(canvas.cdc(), target, kRenderSingle, kAlignCentre, kAlignCentre, kBackground, SRCCOPY,
                              nullptr));
  EXPECT_EQ(canvas.Differences(CopyAt(-1, -1, target)), "");
}

TEST(PictureRender, TilesRowsAndColumnsClippedToTheRectangle) {
  PatternHolder p;
  Canvas canvas(128, 80, kUntouched);
  CRect target(0, 0, 100, 50);
  ASSERT_TRUE(p.holder.Render(canvas.cdc(), target, kRenderTile, 0, 0, kBackground, SRCCOPY, nullptr));
  EXPECT_EQ(canvas.Differences(Within(target, [](int x, int y) { return PatternAt(x % 32, y % 32); })), "");
}

TEST(PictureRender, TilesStartAtTheRectanglesCorner) {
  PatternHolder p;
  Canvas canvas(90, 90, kUntouched);
  CRect target(7, 11, 80, 85);
  ASSERT_TRUE(p.holder.Render(canvas.cdc(), target, kRenderTile, kAlignCentre, kAlignFar, kBackground, SRCCOPY, nullptr));
  EXPECT_EQ(canvas.Differences(Within(target, [](int x, int y) { return PatternAt((x - 7) % 32, (y - 11) % 32); })), "");
}

TEST(PictureRender, TilingAHugeRectangleDrawsOnlyWhatShows) {
  PatternHolder p;
  Canvas canvas(70, 70, kUntouched);
  CRect target(-1000000000, -1000000000, 1000000000, 1000000000);  // a multiple of 32 from 0
  ASSERT_TRUE(p.holder.Render(canvas.cdc(), target, kRenderTile, 0, 0, kBackground, SRCCOPY, nullptr));
  EXPECT_EQ(canvas.Differences([](int x, int y) { return PatternAt(x % 32, y % 32); }), "");
}

TEST(PictureRender, UnknownModeDrawsNothing) {
  PatternHolder p;
  for (int mode : {3, 5, -1}) {
    Canvas canvas(64, 64, kUntouched);
    CRect target(0, 0, 64, 64);
    EXPECT_FALSE(p.holder.Render(canvas.cdc(), target, mode, 0, 0, kBackground, SRCCOPY, nullptr)) << mode;
    EXPECT_EQ(canvas.Differences([](int, int) { return kUntouched; }), "") << mode;
  }
}

TEST(PictureRender, RasterOperationIsApplied) {
  PatternHolder p;
  Canvas canvas(48, 48, kUntouched);
  CRect target(0, 0, 48, 48);
  ASSERT_TRUE(p.holder.Render(canvas.cdc(), target, kRenderSingle, 0, 0, kBackground, NOTSRCCOPY, nullptr));
  EXPECT_EQ(canvas.Differences(Within(RECT{0, 0, 32, 32}, [](int x, int y) { return PatternAt(x, y) ^ 0xFFFFFF; })), "");

  Canvas xor_canvas(48, 48, kUntouched);
  ASSERT_TRUE(p.holder.Render(xor_canvas.cdc(), target, kRenderSingle, 0, 0, kBackground, SRCINVERT, nullptr));
  EXPECT_EQ(xor_canvas.Differences(Within(RECT{0, 0, 32, 32}, [](int x, int y) { return PatternAt(x, y) ^ kUntouched; })),
            "");
}

TEST(PictureRender, ClipFollowsTheViewportOrigin) {
  PatternHolder p;
  Canvas canvas(64, 64, kUntouched);
  SetViewportOrgEx(canvas.dc(), 5, 7, nullptr);
  CRect target(0, 0, 32, 32);  // logical; (5, 7) to (37, 39) on the canvas
  ASSERT_TRUE(p.holder.Render(canvas.cdc(), target, kRenderStretch, 0, 0, kBackground, SRCCOPY, nullptr));
  SetViewportOrgEx(canvas.dc(), 0, 0, nullptr);
  EXPECT_EQ(canvas.Differences(CopyAt(5, 7, RECT{5, 7, 37, 39})), "");
}

TEST(PictureRender, CallersClippingRegionNarrowsAndSurvives) {
  PatternHolder p;
  Canvas canvas(64, 64, kUntouched);
  HRGN region = CreateRectRgn(0, 0, 20, 24);
  SelectClipRgn(canvas.dc(), region);
  DeleteObject(region);
  CRect target(0, 0, 64, 64);
  ASSERT_TRUE(p.holder.Render(canvas.cdc(), target, kRenderStretch, 0, 0, kBackground, SRCCOPY, nullptr));
  EXPECT_EQ(canvas.Differences(Within(RECT{0, 0, 20, 24}, [](int x, int y) { return PatternAt(x / 2, y / 2); })), "");
  HRGN after = CreateRectRgn(0, 0, 0, 0);
  ASSERT_EQ(GetClipRgn(canvas.dc(), after), 1);
  RECT box{};
  GetRgnBox(after, &box);
  DeleteObject(after);
  EXPECT_EQ(box.right, 20);
  EXPECT_EQ(box.bottom, 24);
}

TEST(PictureRender, LeavesNoClippingRegionBehind) {
  PatternHolder p;
  Canvas canvas(64, 64, kUntouched);
  CRect target(0, 0, 10, 10);
  ASSERT_TRUE(p.holder.Render(canvas.cdc(), target, kRenderStretch, 0, 0, kBackground, SRCCOPY, nullptr));
  HRGN after = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetClipRgn(canvas.dc(), after), 0);
  DeleteObject(after);
}

namespace {

// A 32 x 32 icon: the pattern inside a centred disc, transparent outside it.
bool InDisc(int x, int y) { return (x - 16) * (x - 16) + (y - 16) * (y - 16) < 14 * 14; }

}  // namespace

TEST(PictureRender, IconShowsTheBackgroundThroughItsTransparentPixels) {
  CQZPictureHolder holder;
  qzf::ComPtr<IPicture> icon;
  icon.Attach(MakeIconPicture(32, PatternAt, InDisc));
  ASSERT_TRUE(icon);
  holder.SetPicture(icon.Get());
  ASSERT_EQ(holder.GetType(), PICTYPE_ICON);
  Canvas canvas(64, 64, kUntouched);
  CRect target(10, 10, 60, 60);
  ASSERT_TRUE(holder.Render(canvas.cdc(), target, kRenderSingle, 0, 0, kBackground, SRCCOPY, nullptr));
  EXPECT_EQ(canvas.Differences([](int x, int y) {
    if (x < 10 || y < 10 || x >= 42 || y >= 42) return kUntouched;
    return InDisc(x - 10, y - 10) ? PatternAt(x - 10, y - 10) : kBackground;
  }), "");
}

TEST(PictureRender, IconTilesAndAMaskRectangleChangesNothing) {
  CQZPictureHolder holder;
  qzf::ComPtr<IPicture> icon;
  icon.Attach(MakeIconPicture(32, PatternAt, InDisc));
  ASSERT_TRUE(icon);
  holder.SetPicture(icon.Get());
  auto expected = [](int x, int y) {
    if (x >= 60 || y >= 40) return kUntouched;
    return InDisc(x % 32, y % 32) ? PatternAt(x % 32, y % 32) : kBackground;
  };
  Canvas plain(64, 64, kUntouched);
  CRect target(0, 0, 60, 40);
  ASSERT_TRUE(holder.Render(plain.cdc(), target, kRenderTile, 0, 0, kBackground, SRCCOPY, nullptr));
  EXPECT_EQ(plain.Differences(expected), "");
  Canvas masked(64, 64, kUntouched);
  CRect mask(3, 3, 9, 9);
  ASSERT_TRUE(holder.Render(masked.cdc(), target, kRenderTile, 0, 0, kBackground, SRCCOPY, &mask));
  EXPECT_EQ(masked.Differences(expected), "");
}
