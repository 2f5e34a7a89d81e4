#include "toolkit/foreground.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "capture/capture_mode.h"

namespace vistrel {
namespace {

using Key = ForegroundPort::Key;
using Events = std::vector<std::string>;

// The foreground as Windows 10 and 11 give it, after SetForegroundWindow's
// documentation and LockSetForegroundWindow's remarks: a program may take the
// foreground when the window in front is its own, when it received the last
// input event (never here: the polled hot key went to the application), or
// once Alt was pressed; never while a menu is active. Key events go to the
// window in front. A lone Alt (pressed and released with no key between)
// opens the menu bar of the window that gets the release, and switches the
// keyboard's language when Shift is down. GetAsyncKeyState's "pressed since"
// bit is set at every press and read away by every query.
class StandInDesktop : public ForegroundPort {
 public:
  enum Window { Application, FrozenScreen, Preview };  // the first is another program's

  Window front = Application;
  bool menuActive = false;
  std::map<Key, bool> held, pressedSince;
  std::map<Window, Events> received;
  bool menuBarOpened = false, languageSwitched = false;
  int refusals = 0;  // each flashes the taskbar button

  bool InFront() const override { return front == FrozenScreen; }
  bool OursInFront() const override { return front != Application; }
  void SetForeground() override {
    if (!menuActive && (OursInFront() || altEnables_)) {
      front = FrozenScreen;
      altEnables_ = false;
    } else {
      ++refusals;
    }
  }
  bool Held(Key key) override {
    pressedSince[key] = false;
    return held[key];
  }
  void PressAlt() override {
    held[Key::Alt] = pressedSince[Key::Alt] = true;
    altEnables_ = loneAlt_ = true;
    received[front].push_back("Alt down");
  }
  void ReleaseAlt() override {
    held[Key::Alt] = false;
    received[front].push_back("Alt up");
    if (loneAlt_ && front == Application) menuBarOpened = true;
    if (loneAlt_ && held[Key::Shift]) languageSwitched = true;
    loneAlt_ = false;
  }
  void TapMaskKey() override {
    received[front].push_back("mask key");
    loneAlt_ = false;
  }

  // The next capture's mode, with nothing held.
  CaptureMode NextCaptureMode() {
    return ChooseCaptureMode([this](Modifier modifier) {
      const Key key = modifier == Modifier::Alt    ? Key::Alt
                      : modifier == Modifier::Ctrl ? Key::Ctrl
                                                   : Key::Shift;
      const bool pressed = held[key] || pressedSince[key];
      pressedSince[key] = false;
      return pressed;
    });
  }

 private:
  bool altEnables_ = false;
  bool loneAlt_ = false;
};

TEST(TakeForeground, AfterAPolledPressTheFrozenScreenHasTheKeyboardAndNothingElseChanges) {
  StandInDesktop desktop;
  desktop.SetForeground();
  ASSERT_EQ(desktop.front, StandInDesktop::Application) << "refused when simply asked";
  desktop.refusals = 0;

  EXPECT_EQ(TakeForeground(desktop), Foreground::Taken);
  EXPECT_EQ(desktop.front, StandInDesktop::FrozenScreen) << "Alt+F4 reaches the frozen screen";
  EXPECT_EQ(desktop.refusals, 0) << "no flashing taskbar button";
  EXPECT_EQ(desktop.received[StandInDesktop::Application], Events{"Alt down"})
      << "the application under it sees no release of Alt";
  EXPECT_FALSE(desktop.menuBarOpened);
  EXPECT_FALSE(desktop.held[Key::Alt]);
  EXPECT_EQ(desktop.NextCaptureMode(), CaptureMode::FullScreen);
}

TEST(TakeForeground, WaitsForShiftToBeUpBeforePressingAlt) {
  StandInDesktop desktop;
  desktop.held[Key::Shift] = true;  // still held from Shift + hot key
  EXPECT_EQ(TakeForeground(desktop), Foreground::WaitForModifiers);
  EXPECT_TRUE(desktop.received.empty()) << "no key sent while Shift is down";
  desktop.held[Key::Shift] = false;
  EXPECT_EQ(TakeForeground(desktop), Foreground::Taken);
  EXPECT_EQ(desktop.front, StandInDesktop::FrozenScreen);
  EXPECT_FALSE(desktop.languageSwitched);
  EXPECT_EQ(desktop.NextCaptureMode(), CaptureMode::FullScreen);
}

TEST(TakeForeground, RefusedAllTheSameLeavesNoMenuBarOpenInTheApplication) {
  StandInDesktop desktop;
  desktop.menuActive = true;
  EXPECT_EQ(TakeForeground(desktop), Foreground::Taken);
  EXPECT_EQ(desktop.front, StandInDesktop::Application);
  EXPECT_FALSE(desktop.menuBarOpened) << "no lone Alt";
  EXPECT_FALSE(desktop.held[Key::Alt]);
  EXPECT_EQ(desktop.NextCaptureMode(), CaptureMode::FullScreen);
}

TEST(TakeForeground, FromAWindowOfTheProgramSendsNoKey) {
  StandInDesktop desktop;
  desktop.front = StandInDesktop::Preview;
  EXPECT_EQ(TakeForeground(desktop), Foreground::Taken);
  EXPECT_EQ(desktop.front, StandInDesktop::FrozenScreen);
  EXPECT_TRUE(desktop.received.empty());
}

}  // namespace
}  // namespace vistrel
