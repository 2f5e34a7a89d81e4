#include "toolkit/foreground_win.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace vistrel {
namespace {

// The keys the program sends to be given the foreground reach the system's
// key state as a keyboard's would, and the query after them reads Alt's press
// away, so that it chooses no capture mode.
TEST(SystemForeground, ItsAltPressReachesTheKeyStateAndIsReadAway) {
  HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  ASSERT_TRUE(window);
  SystemForeground foreground(window);
  GetAsyncKeyState(VK_MENU);
  foreground.PressAlt();
  EXPECT_TRUE(foreground.Held(ForegroundPort::Key::Alt));
  foreground.TapMaskKey();
  foreground.ReleaseAlt();
  EXPECT_FALSE(foreground.Held(ForegroundPort::Key::Alt));
  EXPECT_EQ(GetAsyncKeyState(VK_MENU), 0) << "neither down nor pressed since";
  DestroyWindow(window);
}

}  // namespace
}  // namespace vistrel
