#include "capture/capture_mode.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>

namespace vistrel {
namespace {

// Records the order of the key-state queries; held modifiers read non-zero.
struct Keyboard {
  std::set<Modifier> held;
  std::vector<Modifier> queried;
  CaptureMode Choose() {
    return ChooseCaptureMode([this](Modifier m) {
      queried.push_back(m);
      return held.count(m) > 0;
    });
  }
};

TEST(ChooseCaptureMode, EachModifierAloneChoosesItsMode) {
  struct Case {
    std::set<Modifier> held;
    CaptureMode mode;
  } cases[] = {
      {{}, CaptureMode::FullScreen},
      {{Modifier::Alt}, CaptureMode::WindowAndFrame},
      {{Modifier::Ctrl}, CaptureMode::WindowContent},
      {{Modifier::Shift}, CaptureMode::MouseSelection},
  };
  for (const Case& c : cases) {
    Keyboard keyboard{c.held, {}};
    EXPECT_EQ(keyboard.Choose(), c.mode);
  }
}

TEST(ChooseCaptureMode, AltWinsOverCtrlAndCtrlOverShift) {
  Keyboard altCtrl{{Modifier::Alt, Modifier::Ctrl}, {}};
  EXPECT_EQ(altCtrl.Choose(), CaptureMode::WindowAndFrame);
  Keyboard altShift{{Modifier::Alt, Modifier::Shift}, {}};
  EXPECT_EQ(altShift.Choose(), CaptureMode::WindowAndFrame);
  Keyboard ctrlShift{{Modifier::Ctrl, Modifier::Shift}, {}};
  EXPECT_EQ(ctrlShift.Choose(), CaptureMode::WindowContent);
  Keyboard all{{Modifier::Alt, Modifier::Ctrl, Modifier::Shift}, {}};
  EXPECT_EQ(all.Choose(), CaptureMode::WindowAndFrame);
}

TEST(ChooseCaptureMode, QueriesStopAtTheFirstModifierFound) {
  // A query clears the key's "pressed since" bit: later keys must not be read.
  Keyboard alt{{Modifier::Alt, Modifier::Shift}, {}};
  alt.Choose();
  EXPECT_EQ(alt.queried, (std::vector<Modifier>{Modifier::Alt}));
  Keyboard ctrl{{Modifier::Ctrl, Modifier::Shift}, {}};
  ctrl.Choose();
  EXPECT_EQ(ctrl.queried, (std::vector<Modifier>{Modifier::Alt, Modifier::Ctrl}));
  Keyboard none{{}, {}};
  none.Choose();
  EXPECT_EQ(none.queried, (std::vector<Modifier>{Modifier::Alt, Modifier::Ctrl, Modifier::Shift}));
}

TEST(DecideAfterCapture, ASelectionAlwaysGoesToTheOverlay) {
  EXPECT_EQ(DecideAfterCapture(true, false), AfterCapture::ShowOverlay);
  EXPECT_EQ(DecideAfterCapture(true, true), AfterCapture::ShowOverlay);
}

TEST(DecideAfterCapture, OtherwiseAutoRecordOrTheShownPreview) {
  EXPECT_EQ(DecideAfterCapture(false, false), AfterCapture::RestorePreview);
  EXPECT_EQ(DecideAfterCapture(false, true), AfterCapture::AutoRecord);
}

}  // namespace
}  // namespace vistrel
