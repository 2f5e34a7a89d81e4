#include "settings/preferences_layout.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

#include "about/about_layout.h"

namespace vistrel {
namespace {

// Checks that hold for any layout table the toolkit builds.
void ExpectWellFormed(std::span<const LayoutEntry> layout, int clientWidth, int clientHeight) {
  std::map<int, const LayoutEntry*> byId;
  std::set<std::string> names;
  for (const LayoutEntry& entry : layout) {
    EXPECT_TRUE(byId.emplace(entry.id, &entry).second) << "duplicate id " << entry.id;
    EXPECT_TRUE(names.insert(entry.name).second) << "duplicate name " << entry.name;
    // Ids 1 and 2 would answer Enter and Escape.
    EXPECT_GT(entry.id, 2) << entry.name;
  }
  std::map<int, std::set<int>> tabOrders;
  for (const LayoutEntry& entry : layout) {
    int width = clientWidth, height = clientHeight;
    if (entry.parentId != 0) {
      ASSERT_TRUE(byId.count(entry.parentId)) << entry.name << " has no parent";
      const LayoutEntry& parent = *byId[entry.parentId];
      EXPECT_EQ(parent.kind, ControlKind::GroupBox) << entry.name;
      width = parent.width;
      height = parent.height;
    }
    EXPECT_GE(entry.left, 0) << entry.name;
    EXPECT_GE(entry.top, 0) << entry.name;
    EXPECT_LE(entry.left + entry.width, width) << entry.name << " sticks out of its parent";
    EXPECT_LE(entry.top + entry.height, height) << entry.name << " sticks out of its parent";
    if (entry.tabOrder >= 0) {
      EXPECT_TRUE(tabOrders[entry.parentId].insert(entry.tabOrder).second)
          << entry.name << " shares its tab order";
    }
  }
  // Tab orders of each parent run 0, 1, 2, ... without gaps.
  for (const auto& [parent, orders] : tabOrders)
    EXPECT_EQ(*orders.rbegin(), static_cast<int>(orders.size()) - 1) << "parent " << parent;
}

TEST(PreferencesLayout, EveryControlFitsItsParentWithUniqueIdsAndTabOrders) {
  ExpectWellFormed(prefs::Layout(), prefs::kClientWidth, prefs::kClientHeight);
}

TEST(AboutLayout, EveryControlFitsItsParentWithUniqueIdsAndTabOrders) {
  ExpectWellFormed(about::Layout(), about::kClientWidth, about::kClientHeight);
}

TEST(AboutLayout, ControlsTakeTheWindowsFontFaceUnlessTheyNameTheirOwn) {
  const auto layout = about::Layout();
  const FontStyle name = EntryFont(about::WindowFont(), FindEntry(layout, about::kNameLabel)->font);
  EXPECT_STREQ(name.face, "MS Sans Serif");
  EXPECT_EQ(name.height, 16);
  EXPECT_TRUE(name.bold);
  const FontStyle url = EntryFont(about::WindowFont(), FindEntry(layout, about::kWebLink)->font);
  EXPECT_STREQ(url.face, "MS Sans Serif");
  EXPECT_EQ(url.height, 8);
  EXPECT_FALSE(url.bold);
  // Inside a group box, a control's parent is the box; the box's is the window.
  const LayoutEntry* box = ParentOf(layout, *FindEntry(layout, about::kOkButton));
  ASSERT_NE(box, nullptr);
  EXPECT_EQ(box->id, about::kFrame);
  EXPECT_EQ(ParentOf(layout, *box), nullptr);
}

TEST(PreferencesLayout, OnlyTheFirstRadioButtonStartsTheFormatGroup) {
  const auto layout = prefs::Layout();
  auto find = [&](int id) { return *FindEntry(layout, id); };
  EXPECT_TRUE(find(prefs::kBmpRadio).flags & flag::kGroupStart);
  EXPECT_FALSE(find(prefs::kJpgRadio).flags & flag::kGroupStart);
  // The control after the pair in tab order closes the group.
  EXPECT_TRUE(find(prefs::kAutoRecordBox).flags & flag::kGroupStart);
}

}  // namespace
}  // namespace vistrel
