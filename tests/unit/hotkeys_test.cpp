#include "capture/hotkeys.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

namespace vistrel {
namespace {

TEST(HotKeyTable, ListsTheTwentySixKeysInTheirOrder) {
  const char* names[] = {"Echap",   "F1",       "F2",       "F3",       "F4",       "F5",
                         "F6",      "F7",       "F8",       "F9",       "F10",      "F11",
                         "F12",     "Impr.Ecr", "Fin",      "Inser",    "Suppr",    "Pg.UP",
                         "Pg.DW",   "Arrow.UP", "Arrow.DW", "Arrow.LT", "Arrow.RT", "Mouse.L",
                         "Mouse.R", "Mouse.M"};
  const unsigned char codes[] = {27, 112, 113, 114, 115, 116, 117, 118, 119, 120, 121, 122, 123,
                                 44, 35,  45,  46,  33,  34,  38,  40,  37,  39,  1,   2,   4};
  ASSERT_EQ(HotKeyTable.size(), std::size(names));
  for (std::size_t i = 0; i < HotKeyTable.size(); ++i) {
    EXPECT_STREQ(HotKeyTable[i].name, names[i]) << "entry " << i;
    EXPECT_EQ(HotKeyTable[i].code, codes[i]) << "entry " << i;
  }
}

TEST(HotKeyTable, NamesAndCodesAreDistinct) {
  std::set<std::string> names;
  std::set<unsigned> codes;
  for (const HotKey& key : HotKeyTable) {
    names.insert(key.name);
    codes.insert(key.code);
  }
  EXPECT_EQ(names.size(), HotKeyTable.size());
  EXPECT_EQ(codes.size(), HotKeyTable.size());
}

TEST(MapHotKey, EveryListedNameMapsToItsOwnCode) {
  for (const HotKey& key : HotKeyTable) EXPECT_EQ(MapHotKey(key.name), key.code) << key.name;
}

TEST(MapHotKey, ComparesWholeNamesExactlyAndFallsBackToF12) {
  EXPECT_EQ(MapHotKey("f5"), 123);   // case matters
  EXPECT_EQ(MapHotKey("F5 "), 123);  // blanks are not trimmed
  EXPECT_EQ(MapHotKey(" F5"), 123);
  EXPECT_EQ(MapHotKey("F"), 123);  // no prefix match
  EXPECT_EQ(MapHotKey("F123"), 123);
  EXPECT_EQ(MapHotKey(""), 123);
  EXPECT_EQ(MapHotKey("Impr.Ecran"), 123);
  EXPECT_EQ(MapHotKey(std::string_view("F5\0x", 4)), 123);  // embedded zero byte
  EXPECT_EQ(MapHotKey("Mouse.M"), 4);
  EXPECT_EQ(MapHotKey("Echap"), 27);
}

}  // namespace
}  // namespace vistrel
