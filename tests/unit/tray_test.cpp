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

TEST(TrayTip, CountsCharactersAsTheIconRecordDoes) {
  EXPECT_EQ(TrayTip("été"), "été to snap...");
  // 52 accented letters and the 11 of " to snap...": 63 units, 115 bytes.
  std::string accents;
  for (int i = 0; i < 52; ++i) accents += "é";
  EXPECT_EQ(TrayTip(accents), accents + " to snap...");
  EXPECT_EQ(TrayTip(accents + "é"), accents + "é to snap..");
  // A character beyond the basic plane takes two units, and is never halved.
  std::string sixtyTwo(62, 'k');
  EXPECT_EQ(TrayTip(sixtyTwo + "😀"), sixtyTwo);
  EXPECT_EQ(TrayTip(std::string(61, 'k') + "😀"), std::string(61, 'k') + "😀");
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
