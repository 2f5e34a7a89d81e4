#include "toolkit/screen_part.h"

#include <gtest/gtest.h>

namespace vistrel {
namespace {

TEST(ReadablePart, AnAreaOnTheScreenIsReadWhole) {
  const Rect screen{0, 0, 1280, 800};
  const auto part = ReadablePart({100, 50, 400, 250}, screen);
  ASSERT_TRUE(part);
  EXPECT_EQ(part->source, (Rect{100, 50, 400, 250}));
  EXPECT_EQ(part->destination, (Point{0, 0}));
  EXPECT_EQ(ReadablePart(screen, screen)->source, screen);
}

TEST(ReadablePart, AnAreaPastAnEdgeKeepsItsPixelsInPlace) {
  const Rect screen{0, 0, 1280, 800};
  // A maximised window's frame, past every edge.
  auto part = ReadablePart({-8, -8, 1288, 808}, screen);
  ASSERT_TRUE(part);
  EXPECT_EQ(part->source, screen);
  EXPECT_EQ(part->destination, (Point{8, 8}));
  // Past the right and bottom edges only.
  part = ReadablePart({1157, 700, 1463, 925}, screen);
  ASSERT_TRUE(part);
  EXPECT_EQ(part->source, (Rect{1157, 700, 1280, 800}));
  EXPECT_EQ(part->destination, (Point{0, 0}));
  // A screen whose origin is not 0 (monitors left of the primary).
  part = ReadablePart({-2000, 10, -1000, 20}, {-1920, 0, 1280, 1080});
  ASSERT_TRUE(part);
  EXPECT_EQ(part->source, (Rect{-1920, 10, -1000, 20}));
  EXPECT_EQ(part->destination, (Point{80, 0}));
}

TEST(ReadablePart, NothingWhenNoPartIsOnTheScreenOrTheAreaIsEmpty) {
  const Rect screen{0, 0, 1280, 800};
  EXPECT_FALSE(ReadablePart({1280, 0, 1400, 100}, screen));
  EXPECT_FALSE(ReadablePart({-300, -200, 0, 0}, screen));
  EXPECT_FALSE(ReadablePart({}, screen));
  EXPECT_FALSE(ReadablePart({10, 10, 10, 50}, screen));
}

}  // namespace
}  // namespace vistrel
