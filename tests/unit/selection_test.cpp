#include "overlay/selection.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>

namespace vistrel {
namespace {

bool Contains(const Rect& r, Point p) {
  return p.x >= r.left && p.x < r.right && p.y >= r.top && p.y < r.bottom;
}

bool Overlaps(const Rect& a, const Rect& b) {
  return a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom;
}

SelectionState Dragged(Point from, Point to, std::uint8_t margin) {
  SelectionState s;
  s.Press(from, margin);
  EXPECT_TRUE(s.Move(to));
  return s;
}

// A drag between (100, 100) and (300, 200), whichever corner it starts from.
struct QuadrantCase {
  const char* name;
  Point anchor, pointer;
};
void PrintTo(const QuadrantCase& c, std::ostream* os) { *os << c.name; }

class SelectionQuadrant : public testing::TestWithParam<QuadrantCase> {};

TEST_P(SelectionQuadrant, WhiteBorderCaptureIsExactlyTheFramedArea) {
  const SelectionState s = Dragged(GetParam().anchor, GetParam().pointer, 0);
  EXPECT_EQ(s.SelectionRect, (Rect{100, 100, 300, 200}));
  const Rect capture = s.CaptureArea();
  EXPECT_EQ(capture, (Rect{100, 100, 300, 200}));
  // The frame lines are the capture's outermost columns and rows.
  const auto lines = FrameLines(s.SelectionRect);
  EXPECT_EQ(lines[0], (Rect{capture.left, capture.top, capture.left + 1, capture.bottom}));
  EXPECT_EQ(lines[1], (Rect{capture.right - 1, capture.top, capture.right, capture.bottom}));
  EXPECT_EQ(lines[2], (Rect{capture.left, capture.top, capture.right, capture.top + 1}));
  EXPECT_EQ(lines[3], (Rect{capture.left, capture.bottom - 1, capture.right, capture.bottom}));
}

TEST_P(SelectionQuadrant, MarginCaptureHoldsBothEndPointsAndNoFramePixel) {
  const SelectionState s = Dragged(GetParam().anchor, GetParam().pointer, 1);
  EXPECT_EQ(s.SelectionRect, (Rect{99, 99, 302, 202}));
  const Rect capture = s.CaptureArea();
  EXPECT_EQ(capture, (Rect{100, 100, 301, 201}));
  EXPECT_EQ(capture.Width(), 201);
  EXPECT_EQ(capture.Height(), 101);
  EXPECT_TRUE(Contains(capture, GetParam().anchor));
  EXPECT_TRUE(Contains(capture, GetParam().pointer));
  for (const Rect& line : FrameLines(s.SelectionRect)) EXPECT_FALSE(Overlaps(line, capture));
  // The frame hugs the capture: one pixel outside it on every side.
  EXPECT_EQ(FrameLines(s.SelectionRect)[0].left, capture.left - 1);
  EXPECT_EQ(FrameLines(s.SelectionRect)[1].left, capture.right);
  EXPECT_EQ(FrameLines(s.SelectionRect)[2].top, capture.top - 1);
  EXPECT_EQ(FrameLines(s.SelectionRect)[3].top, capture.bottom);
}

const QuadrantCase kQuadrants[] = {
    {"DownRight", {100, 100}, {300, 200}},
    {"UpRight", {100, 200}, {300, 100}},
    {"DownLeft", {300, 100}, {100, 200}},
    {"UpLeft", {300, 200}, {100, 100}},
};
std::string QuadrantName(const testing::TestParamInfo<QuadrantCase>& info) {
  return info.param.name;
}
INSTANTIATE_TEST_SUITE_P(AllFour, SelectionQuadrant, testing::ValuesIn(kQuadrants), QuadrantName);

TEST(SelectionDrag, SmallestDragsStillLeaveAnAreaInsideTheFrame) {
  // One pixel apart diagonally: two columns and rows with the border, the
  // two pixels themselves without it.
  EXPECT_EQ(Dragged({10, 10}, {11, 11}, 0).CaptureArea(), (Rect{10, 10, 11, 11}));
  EXPECT_EQ(Dragged({10, 10}, {11, 11}, 1).CaptureArea(), (Rect{10, 10, 12, 12}));
  EXPECT_EQ(Dragged({11, 11}, {10, 10}, 1).CaptureArea(), (Rect{10, 10, 12, 12}));
}

TEST(SelectionDrag, NothingIsClampedAtTheScreenEdge) {
  const SelectionState s = Dragged({0, 0}, {50, 40}, 1);
  EXPECT_EQ(s.SelectionRect, (Rect{-1, -1, 52, 42}));
  EXPECT_EQ(s.CaptureArea(), (Rect{0, 0, 51, 41}));
}

TEST(SelectionDrag, PointerOnAnchorRowOrColumnKeepsThePreviousRectangle) {
  SelectionState s = Dragged({100, 100}, {300, 200}, 0);
  EXPECT_FALSE(s.Move({300, 100}));  // the anchor's row
  EXPECT_EQ(s.SelectionRect, (Rect{100, 100, 300, 200}));
  EXPECT_FALSE(s.Move({100, 250}));  // the anchor's column
  EXPECT_FALSE(s.Move({100, 100}));  // the anchor itself
  EXPECT_EQ(s.SelectionRect, (Rect{100, 100, 300, 200}));
  EXPECT_EQ(s.CaptureArea(), (Rect{100, 100, 300, 200}));
  // Leaving the row again draws a new frame.
  EXPECT_TRUE(s.Move({150, 120}));
  EXPECT_EQ(s.SelectionRect, (Rect{100, 100, 150, 120}));
}

TEST(SelectionDrag, ClickWithoutMoveReusesTheStoredRectangleWithTheNewMargin) {
  SelectionState s = Dragged({100, 100}, {300, 200}, 0);
  s.Press({500, 400}, 0);
  EXPECT_EQ(s.SelectionAnchor, (Point{500, 400}));
  EXPECT_EQ(s.SelectionRect, (Rect{100, 100, 300, 200}));
  EXPECT_EQ(s.CaptureArea(), (Rect{100, 100, 300, 200}));
  // The margin read at this press applies to the stored rectangle.
  s.Press({500, 400}, 1);
  EXPECT_EQ(s.CaptureArea(), (Rect{101, 101, 299, 199}));
}

TEST(SelectionDrag, ClickBeforeAnySelectionIsAnEmptyCaptureWithEitherMargin) {
  SelectionState plain;
  plain.Press({40, 30}, 0);
  EXPECT_EQ(plain.CaptureArea().Width(), 0);
  EXPECT_EQ(plain.CaptureArea().Height(), 0);

  // The stored rectangle is all zero: less two margins it would be -2 x -2.
  SelectionState margin;
  margin.Press({40, 30}, 1);
  EXPECT_EQ(margin.SelectionRect, Rect{});
  EXPECT_EQ(margin.CaptureArea().Width(), 0);
  EXPECT_EQ(margin.CaptureArea().Height(), 0);
}

TEST(FrameClip, KeepsOnlyThePartInsideThePicture) {
  EXPECT_EQ(ClipToPicture({-1, -1, 52, 42}, 1024, 768), (Rect{0, 0, 52, 42}));
  EXPECT_EQ(ClipToPicture({1000, 700, 1030, 790}, 1024, 768), (Rect{1000, 700, 1024, 768}));
  EXPECT_EQ(ClipToPicture({10, 20, 30, 40}, 1024, 768), (Rect{10, 20, 30, 40}));
  EXPECT_EQ(ClipToPicture({2000, 10, 2100, 20}, 1024, 768), Rect{});
  EXPECT_EQ(ClipToPicture({}, 1024, 768), Rect{});
  EXPECT_EQ(ClipToPicture({10, 20, 30, 40}, 0, 0), Rect{});
}

}  // namespace
}  // namespace vistrel
