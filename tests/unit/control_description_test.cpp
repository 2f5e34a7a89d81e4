#include "toolkit/control_description.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "settings/preferences_layout.h"

namespace vistrel {
namespace {

using namespace win32;
using enum ControlKind;

// A group of two radio buttons, a label and a check box in a group box, and
// a button, a bevel and the form's own picture beside it.
constexpr std::array<LayoutEntry, 8> kTable{{
    {10, "Pic", Custom, 0, 0, 0, 10, 10, nullptr, -1},
    {11, "Go", Button, 0, 0, 100, 50, 20, "Go", 1},
    {12, "Box", GroupBox, 0, 0, 0, 100, 90, "Box", 0},
    {13, "One", RadioButton, 12, 8, 16, 50, 17, "1", 1, CursorKind::Default,
     flag::kGroupStart | flag::kChecked},
    {14, "Two", RadioButton, 12, 8, 32, 50, 17, "2", 0},
    {15, "Note", Label, 12, 8, 48, 80, 13, "Note", -1, CursorKind::Default,
     flag::kRightAlign | flag::kVCenter},
    {16, "Tick", CheckBox, 12, 8, 64, 80, 17, "Tick", 2, CursorKind::Default,
     flag::kGroupStart | flag::kDisabled},
    {17, "Frame", Bevel, 0, 0, 95, 100, 30, nullptr, -1},
}};

std::vector<std::string> Names(const std::vector<const LayoutEntry*>& order) {
  std::vector<std::string> names;
  for (const LayoutEntry* entry : order) names.emplace_back(entry->name);
  return names;
}

TEST(ControlDescription, GroupBoxesComeFirstThenTheTabOrderWithinEachParentThenWhatTakesNoFocus) {
  EXPECT_EQ(Names(CreationOrder(kTable)),
            (std::vector<std::string>{"Box", "Two", "One", "Tick", "Note", "Go", "Pic", "Frame"}));
  // The preferences: the keyboard walks the group boxes' contents in the
  // boxes' own order, the buttons between them.
  std::vector<std::string> walk;
  for (const LayoutEntry* entry : CreationOrder(prefs::Layout()))
    if (entry->tabOrder >= 0 && entry->kind != GroupBox) walk.emplace_back(entry->name);
  EXPECT_EQ(walk, (std::vector<std::string>{"RadioBMP", "RadioJPG", "Actif", "TrackBar1", "Browse",
                                            "Edit1", "Valider", "Annuler", "Reset", "Infos",
                                            "ChoixTouche", "WBorder"}));
}

TEST(ControlDescription, TabStopsAndArrowGroupsFollowTheTable) {
  auto described = [](int index) { return *DescribeControl(kTable[index]); };
  // The first radio button of its group starts an arrow group and is a tab stop.
  EXPECT_EQ(described(3).style, kChild | kVisible | kAutoRadioButton | kTabStop | kGroup);
  EXPECT_EQ(described(4).style, kChild | kVisible | kAutoRadioButton | kTabStop);
  // What takes no focus is no tab stop and ends the group before it.
  EXPECT_EQ(described(5).style,
            kChild | kVisible | kStaticNotify | kStaticRight | kStaticCentreImage | kGroup);
  EXPECT_EQ(described(6).style, kChild | kVisible | kAutoCheckBox | kTabStop | kGroup | kDisabled);
  // A group box's tab order orders its contents only.
  EXPECT_EQ(described(2).style, kChild | kVisible | kGroupBox);
  EXPECT_EQ(described(1).style, kChild | kVisible | kPushButton | kTabStop);
}

TEST(ControlDescription, EachKindIsMadeAsItsClassAndTheFormMakesItsOwnWindows) {
  EXPECT_FALSE(DescribeControl(kTable[0]).has_value());
  const ControlDescription bevel = *DescribeControl(kTable[7]);
  EXPECT_STREQ(bevel.className, kStaticClass);
  EXPECT_EQ(bevel.style, kChild | kVisible | kStaticOwnerDraw | kGroup) << "drawn by its form";
  for (const LayoutEntry& entry : prefs::Layout()) {
    const auto described = DescribeControl(entry);
    ASSERT_TRUE(described) << entry.name;
    const std::string name = described->className;
    switch (entry.kind) {
      case Edit:
        EXPECT_EQ(name, kEditClass);
        EXPECT_EQ(described->exStyle, kExClientEdge);
        break;
      case ComboBox:
        EXPECT_EQ(name, kComboBoxClass);
        EXPECT_EQ(described->style & (kComboDropDown | kVScroll), kComboDropDown | kVScroll);
        break;
      case TrackBar:
        EXPECT_EQ(name, kTrackBarClass);
        break;
      case Label:
      case Bevel:
        EXPECT_EQ(name, kStaticClass);
        break;
      default:
        EXPECT_EQ(name, kButtonClass) << entry.name;
    }
  }
}

}  // namespace
}  // namespace vistrel
