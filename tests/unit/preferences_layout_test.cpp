#include "settings/preferences_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <set>
#include <string>

#include "about/about_layout.h"

namespace vistrel {
namespace {

// Checks that hold for any layout table the toolkit builds.
void ExpectWellFormed(std::span<const ControlSpec> layout, int clientWidth, int clientHeight) {
  std::map<int, const ControlSpec*> byId;
  std::set<std::string> names;
  for (const ControlSpec& spec : layout) {
    EXPECT_TRUE(byId.emplace(spec.id, &spec).second) << "duplicate id " << spec.id;
    EXPECT_TRUE(names.insert(spec.name).second) << "duplicate name " << spec.name;
    // Ids 1 and 2 would answer Enter and Escape.
    EXPECT_GT(spec.id, 2) << spec.name;
  }
  std::map<int, std::set<int>> tabOrders;
  for (const ControlSpec& spec : layout) {
    int width = clientWidth, height = clientHeight;
    if (spec.parentId != 0) {
      ASSERT_TRUE(byId.count(spec.parentId)) << spec.name << " has no parent";
      const ControlSpec& parent = *byId[spec.parentId];
      EXPECT_EQ(parent.kind, ControlKind::GroupBox) << spec.name;
      width = parent.width;
      height = parent.height;
    }
    EXPECT_GE(spec.left, 0) << spec.name;
    EXPECT_GE(spec.top, 0) << spec.name;
    EXPECT_LE(spec.left + spec.width, width) << spec.name << " sticks out of its parent";
    EXPECT_LE(spec.top + spec.height, height) << spec.name << " sticks out of its parent";
    if (spec.tabOrder >= 0) {
      EXPECT_TRUE(tabOrders[spec.parentId].insert(spec.tabOrder).second)
          << spec.name << " shares its tab order";
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

TEST(PreferencesLayout, OnlyTheFirstRadioButtonStartsTheFormatGroup) {
  const auto layout = prefs::Layout();
  auto find = [&](int id) {
    return *std::find_if(layout.begin(), layout.end(),
                         [id](const ControlSpec& c) { return c.id == id; });
  };
  EXPECT_TRUE(find(prefs::kRadioBMP).flags & flag::kGroupStart);
  EXPECT_FALSE(find(prefs::kRadioJPG).flags & flag::kGroupStart);
  // The control after the pair in tab order closes the group.
  EXPECT_TRUE(find(prefs::kActif).flags & flag::kGroupStart);
}

}  // namespace
}  // namespace vistrel
