// The twip arithmetic at resolutions the test machine's screen does not have.
#include <gtest/gtest.h>

#include "unit_conversion.h"

TEST(TwipFactor, IsTruncatedBeforeUse) {
  EXPECT_EQ(qz::TwipsPerPixel(96), 15);
  EXPECT_EQ(qz::TwipsPerPixel(120), 12);
  EXPECT_EQ(qz::TwipsPerPixel(600), 2);  // not 2.4
  EXPECT_EQ(qz::TwipsPerPixel(1000), 1);
  EXPECT_EQ(qz::TwipsPerPixel(1440), 1);
}

TEST(TwipFactor, PixelsToTwipsMultiplies) {
  EXPECT_EQ(qz::PixelsToTwipsAt(100, 600), 200);
  EXPECT_EQ(qz::PixelsToTwipsAt(10, 120), 120);
  EXPECT_EQ(qz::PixelsToTwipsAt(-3, 96), -45);
}

TEST(TwipFactor, TwipsToPixelsRoundsHalfAFactorAndTruncatesTowardZero) {
  EXPECT_EQ(qz::TwipsToPixelsAt(5, 600), 3);    // (5 + 1) / 2
  EXPECT_EQ(qz::TwipsToPixelsAt(5, 120), 0);    // (5 + 6) / 12
  EXPECT_EQ(qz::TwipsToPixelsAt(6, 120), 1);
  EXPECT_EQ(qz::TwipsToPixelsAt(-23, 96), -1);  // (-23 + 7) / 15
  EXPECT_EQ(qz::TwipsToPixelsAt(7, 1000), 7);
}

TEST(TwipFactor, ResolutionsWithoutAWholeFactorGiveZeroBothWays) {
  for (int dpi : {1441, 2400, 0, -96}) {
    EXPECT_EQ(qz::TwipsPerPixel(dpi), 0) << dpi;
    EXPECT_EQ(qz::PixelsToTwipsAt(100, dpi), 0) << dpi;
    EXPECT_EQ(qz::TwipsToPixelsAt(1440, dpi), 0) << dpi;
  }
}
