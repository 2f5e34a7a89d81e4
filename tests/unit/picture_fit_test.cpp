#include "toolkit/picture_fit.h"

#include <gtest/gtest.h>

namespace vistrel {
namespace {

// The preview's picture area is 200 x 150.
TEST(FitPicture, WidePictureFillsTheWidthAndIsCentredVertically) {
  EXPECT_EQ(FitPicture(1280, 800, 200, 150), (Rect{0, 12, 200, 137}));   // 200/1.6 = 125
  EXPECT_EQ(FitPicture(1920, 1080, 200, 150), (Rect{0, 19, 200, 131}));  // 112.5 -> 112
  EXPECT_EQ(FitPicture(300, 1, 200, 150), (Rect{0, 75, 200, 75}));       // height truncates to 0
}

TEST(FitPicture, WideButNotWideEnoughFallsBackToTheHeight) {
  // 4:3.5 is wider than tall but 200 / r = 175 > 150: height 150, width 171.
  EXPECT_EQ(FitPicture(400, 350, 200, 150), (Rect{14, 0, 185, 150}));
}

TEST(FitPicture, TallAndSquarePicturesFillTheHeight) {
  EXPECT_EQ(FitPicture(100, 100, 200, 150), (Rect{25, 0, 175, 150}));
  EXPECT_EQ(FitPicture(300, 600, 200, 150), (Rect{62, 0, 137, 150}));  // 75 wide, (200-75)/2=62
  EXPECT_EQ(FitPicture(10, 10, 200, 150), (Rect{25, 0, 175, 150}));    // scaled up
}

TEST(FitPicture, EmptySidesDrawNothing) {
  EXPECT_EQ(FitPicture(0, 0, 200, 150), Rect{});
  EXPECT_EQ(FitPicture(0, 10, 200, 150), Rect{});
}

}  // namespace
}  // namespace vistrel
