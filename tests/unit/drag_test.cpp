#include "app/drag.h"

#include <gtest/gtest.h>

namespace vistrel {
namespace {

TEST(Drag, MovesTheWindowByTheCursorsTravel) {
  DragState drag;
  EXPECT_FALSE(DragTarget(drag, {500, 500}).has_value()) << "no drag before a button goes down";
  Grab(drag, {300, 200}, {350, 260});
  EXPECT_EQ(DragTarget(drag, {350, 260}), (Point{300, 200}));
  EXPECT_EQ(DragTarget(drag, {410, 240}), (Point{360, 180}));
  EXPECT_EQ(DragTarget(drag, {0, 0}), (Point{-50, -60}));  // may leave the screen
}

TEST(Drag, ASecondButtonDoesNotReanchor) {
  DragState drag;
  Grab(drag, {300, 200}, {350, 260});
  // The window has moved meanwhile; a second press must keep the first anchor.
  Grab(drag, {360, 180}, {410, 240});
  EXPECT_EQ(DragTarget(drag, {420, 250}), (Point{370, 190}));
}

TEST(Drag, ReleaseEndsTheDragAndTheNextPressStartsAfresh) {
  DragState drag;
  Grab(drag, {300, 200}, {350, 260});
  Release(drag);
  EXPECT_FALSE(DragTarget(drag, {400, 300}).has_value());
  EXPECT_EQ(drag.startTop, 200) << "release clears only the start left";
  EXPECT_EQ(drag.startCursorX, 350);
  Grab(drag, {10, 20}, {100, 100});
  EXPECT_EQ(DragTarget(drag, {105, 90}), (Point{15, 10}));
}

TEST(Drag, OnlyStartLeftMarksTheIdleState) {
  // A window dragged to left -1 cannot be told from "no drag"; a window at
  // top -1 can.
  DragState drag;
  Grab(drag, {5, -1}, {0, 0});
  EXPECT_EQ(DragTarget(drag, {1, 1}), (Point{6, 0}));
  DragState atMinusOne;
  Grab(atMinusOne, {-1, 5}, {0, 0});
  EXPECT_FALSE(DragTarget(atMinusOne, {1, 1}).has_value());
}

}  // namespace
}  // namespace vistrel
