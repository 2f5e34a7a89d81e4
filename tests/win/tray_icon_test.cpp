#include "app/tray_icon_win.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>

namespace vistrel {
namespace {

// A stand-in for the shell's notification call that keeps its icons as
// Shell_NotifyIcon documents: an add fails when the window already has an
// icon of that id, an update or a delete fails when it has none. A shell
// without a taskbar takes nothing; a shell busy at logon can time out on an
// add, report the failure and show the icon all the same.
struct StandInShell {
  enum class State { Ready, NoTaskbar, AddTimesOut } state = State::Ready;
  std::set<std::pair<HWND, UINT>> icons;
  int adds = 0;
};
StandInShell shell;

BOOL WINAPI StandInNotify(DWORD action, PNOTIFYICONDATAW record) {
  const std::pair<HWND, UINT> icon{record->hWnd, record->uID};
  const bool present = shell.icons.count(icon) > 0;
  switch (action) {
    case NIM_ADD:
      ++shell.adds;
      if (present || shell.state == StandInShell::State::NoTaskbar) return FALSE;
      shell.icons.insert(icon);
      return shell.state != StandInShell::State::AddTimesOut;
    case NIM_MODIFY:
      return present;
    case NIM_DELETE:
      return shell.icons.erase(icon) > 0;
  }
  return FALSE;
}

HWND SomeWindow() { return reinterpret_cast<HWND>(0x1234); }

TEST(TrayIcon, AnAddThatTimedOutWithTheIconShownCountsAsShown) {
  shell = {};
  shell.state = StandInShell::State::AddTimesOut;
  TrayIcon icon(&StandInNotify);
  icon.Prepare(SomeWindow(), nullptr, "F12 to snap...");
  EXPECT_TRUE(icon.Show()) << "the icon is there: the retries stop";
  EXPECT_EQ(shell.icons.size(), 1u);
  // The shell answers again: the icon is updated, never added twice.
  shell.state = StandInShell::State::Ready;
  EXPECT_TRUE(icon.Show());
  EXPECT_EQ(shell.adds, 1);
  EXPECT_EQ(shell.icons.size(), 1u);
}

TEST(TrayIcon, WithNoTaskbarIsNotShownUntilOneIsThere) {
  shell = {};
  shell.state = StandInShell::State::NoTaskbar;
  TrayIcon icon(&StandInNotify);
  icon.Prepare(SomeWindow(), nullptr, "F12 to snap...");
  EXPECT_FALSE(icon.Show()) << "no icon: tried again later";
  EXPECT_FALSE(icon.Shown());
  shell.state = StandInShell::State::Ready;
  EXPECT_TRUE(icon.Show());
  EXPECT_EQ(shell.icons.size(), 1u);
  icon.Remove();
  EXPECT_TRUE(shell.icons.empty());
}

}  // namespace
}  // namespace vistrel
