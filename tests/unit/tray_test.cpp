#include "app/tray.h"

#include <gtest/gtest.h>

#include <string>

namespace vistrel {
namespace {

TEST(TrayTip, IsTheNameAsReadFollowedByToSnap) {
  EXPECT_EQ(TrayTip("F12"), "F12 to snap...");
  EXPECT_EQ(TrayTip("Inser"), "Inser to snap...");
  EXPECT_EQ(TrayTip("f5"), "f5 to snap...");  // not in the table: shown as read
  EXPECT_EQ(TrayTip(""), " to snap...");      // keeps its leading blank
  EXPECT_EQ(TrayTip("Impr.Ecr"), "Impr.Ecr to snap...");
}

TEST(TrayTip, IsCutToSixtyThreeCharacters) {
  const std::string sixty(60, 'k');
  EXPECT_EQ(TrayTip(sixty), sixty + " to");
  const std::string fiftyTwo(52, 'k');  // 52 + 11 = 63: fits exactly
  EXPECT_EQ(TrayTip(fiftyTwo), fiftyTwo + " to snap...");
  EXPECT_EQ(TrayTip(fiftyTwo + "k"), fiftyTwo + "k to snap..");
  EXPECT_EQ(TrayTip(std::string(200, 'z')), std::string(63, 'z'));
}

TEST(TrayTip, KeepsWindows1252BytesUnchanged) {
  EXPECT_EQ(TrayTip("\xE9t\xE9"), "\xE9t\xE9 to snap...");
}

TEST(TrayActionFor, LeftReleaseRestoresRightReleaseOpensTheMenu) {
  EXPECT_EQ(TrayActionFor(0x202), TrayAction::Restore);
  EXPECT_EQ(TrayActionFor(0x205), TrayAction::OpenMenu);
}

TEST(TrayActionFor, OtherIconEventsAndOrdinaryMovesDoNothing) {
  for (int message : {0x200, 0x201, 0x203, 0x204, 0x206, 0x207, 0x208, 0x209})
    EXPECT_EQ(TrayActionFor(message), TrayAction::None) << message;
  // Ordinary moves over the window: x inside its width, y in the high word.
  EXPECT_EQ(TrayActionFor(0), TrayAction::None);
  EXPECT_EQ(TrayActionFor((100 << 16) | 199), TrayAction::None);
}

TEST(TrayActionFor, ReadsOnlyTheLowWordAsASignedX) {
  EXPECT_EQ(TrayActionFor((123 << 16) | 0x202), TrayAction::Restore);  // y ignored
  EXPECT_EQ(TrayActionFor(0x7FFF0205LL), TrayAction::OpenMenu);
  EXPECT_EQ(TrayActionFor(0x10202), TrayAction::Restore);
  EXPECT_EQ(TrayActionFor(0xFFFF), TrayAction::None);  // x = -1
  EXPECT_EQ(TrayActionFor(0x8202), TrayAction::None);  // negative x, not 514
}

}  // namespace
}  // namespace vistrel
