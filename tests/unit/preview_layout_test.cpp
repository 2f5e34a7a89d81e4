#include "app/preview_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

namespace vistrel::preview {
namespace {

const LayoutEntry& Find(const char* name) {
  auto it = std::find_if(kLayout.begin(), kLayout.end(),
                         [name](const LayoutEntry& c) { return std::string(c.name) == name; });
  EXPECT_NE(it, kLayout.end()) << name;
  return *it;
}

TEST(PreviewLayout, PictureFillsTheClientAreaBelowTheStrip) {
  const LayoutEntry& image = Find("Image1");
  EXPECT_EQ(image.kind, ControlKind::Custom);
  EXPECT_EQ(image.top, kStripHeight);
  EXPECT_EQ(image.left + image.width, kWidth);
  EXPECT_EQ(image.top + image.height, kHeight);
  EXPECT_EQ(image.cursor, CursorKind::SizeAll);
  const LayoutEntry& strip = Find("ActionToolBar1");
  EXPECT_EQ(strip.kind, ControlKind::Strip);
  EXPECT_EQ(strip.width, kWidth);
  EXPECT_EQ(strip.height, kStripHeight);
}

TEST(PreviewLayout, ButtonsSitOnTheStripInTheirTabOrder) {
  std::set<int> ids, tabOrders;
  for (const LayoutEntry& c : kLayout) {
    ids.insert(c.id);
    if (c.kind != ControlKind::Button) continue;
    EXPECT_GE(c.left, 0) << c.name;
    EXPECT_LE(c.left + c.width, kWidth) << c.name;
    EXPECT_EQ(c.top, 0) << c.name;
    EXPECT_LE(c.height, kStripHeight) << c.name;
    tabOrders.insert(c.tabOrder);
  }
  EXPECT_EQ(ids.size(), kLayout.size());
  EXPECT_EQ(tabOrders, (std::set<int>{0, 1, 3, 4, 5}));
  EXPECT_EQ(Find("Button1").tabOrder, 0);
  EXPECT_EQ(Find("Button2").tabOrder, 1);
  EXPECT_EQ(Find("Button4").tabOrder, 3);
  EXPECT_EQ(Find("Button5").tabOrder, 4);
  EXPECT_EQ(Find("Button3").tabOrder, 5);
  // The two small buttons end flush with the right edge.
  EXPECT_EQ(Find("Button4").left + Find("Button4").width, kWidth);
  EXPECT_EQ(Find("Button5").left + Find("Button5").width, Find("Button4").left);
  EXPECT_EQ(Find("Button4").font.charset, 0);
  EXPECT_EQ(Find("Button5").font.charset, 1);
}

TEST(PreviewLayout, CentresOnTheScreenTruncatingAndNeverNegative) {
  EXPECT_EQ(CentredPosition(1024, 768), (Point{412, 300}));
  EXPECT_EQ(CentredPosition(1025, 769), (Point{412, 301}));  // 825/2, 602/2 truncated
  EXPECT_EQ(CentredPosition(201, 168), (Point{0, 0}));
  EXPECT_EQ(CentredPosition(150, 100), (Point{0, 0}));  // screen smaller than the window
}

TEST(PreviewLayout, FormatMenuOpensBelowTheStripRightOfSaveAsEdge) {
  EXPECT_EQ(FormatMenuPosition({412, 300}), (Point{469, 317}));
  EXPECT_EQ(FormatMenuPosition({-30, -5}), (Point{27, 12}));
  EXPECT_EQ(FormatMenuPosition({0, 0}).x, Find("Button2").left + 1);
}

TEST(PreviewLayout, AtAnotherDpiTheTablesLengthsScaleRounded) {
  // 150 %: 200 x 167 becomes 300 x 251 (250.5 rounded), 57 and 17 become 86 and 26.
  EXPECT_EQ(ScaleToDpi(167, 144), 251);
  EXPECT_EQ(ScaleToDpi(-3, 144), -5);
  EXPECT_EQ(CentredPosition(1280, 800, 144), (Point{490, 274}));
  EXPECT_EQ(FormatMenuPosition({490, 274}, 144), (Point{576, 300}));
  EXPECT_EQ(CentredPosition(1280, 800, 96), CentredPosition(1280, 800));
}

}  // namespace
}  // namespace vistrel::preview
