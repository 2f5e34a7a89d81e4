#include "capture/window_frame_win.h"

#include <gtest/gtest.h>

namespace vistrel {
namespace {

// Stand-ins for the two platform calls: the window manager's bounds as a
// Windows 10 frame gives them (7 pixels in from the rectangle at the left,
// right and bottom), or its refusal.
const RECT kWindowRect = {93, 50, 507, 457};
const RECT kVisibleFrame = {100, 50, 500, 450};
HRESULT boundsAnswer = S_OK;
DWORD askedAttribute = 0;

HRESULT WINAPI FakeBounds(HWND, DWORD attribute, PVOID value, DWORD size) {
  askedAttribute = attribute;
  if (FAILED(boundsAnswer)) return boundsAnswer;
  if (size != sizeof(RECT)) return E_INVALIDARG;
  *static_cast<RECT*>(value) = kVisibleFrame;
  return S_OK;
}

BOOL WINAPI FakeWindowRect(HWND window, LPRECT rect) {
  if (!window) return FALSE;
  *rect = kWindowRect;
  return TRUE;
}

HWND SomeWindow() { return reinterpret_cast<HWND>(0x1234); }

bool Same(const RECT& a, const RECT& b) {
  return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST(VisibleFrame, IsTheWindowManagersBoundsWhereGivenElseTheWindowRectangle) {
  boundsAnswer = S_OK;
  EXPECT_TRUE(Same(VisibleFrame(SomeWindow(), {&FakeBounds, &FakeWindowRect}), kVisibleFrame));
  EXPECT_EQ(askedAttribute, 9u) << "DWMWA_EXTENDED_FRAME_BOUNDS";
  // Composition off, or a system that does not know the attribute.
  boundsAnswer = E_INVALIDARG;
  EXPECT_TRUE(Same(VisibleFrame(SomeWindow(), {&FakeBounds, &FakeWindowRect}), kWindowRect));
  // No dwmapi.dll at all (before Vista).
  EXPECT_TRUE(Same(VisibleFrame(SomeWindow(), {nullptr, &FakeWindowRect}), kWindowRect));
  // No foreground window: nothing to capture.
  EXPECT_TRUE(Same(VisibleFrame(nullptr, {&FakeBounds, &FakeWindowRect}), RECT{}));
}

TEST(VisibleFrame, OfARealWindowIsWhereTheSystemPutsIt) {
  // Under Wine both calls agree; on Windows the bounds lie inside the rectangle.
  HWND window = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 40, 30, 200, 100, nullptr, nullptr,
                                GetModuleHandleW(nullptr), nullptr);
  ASSERT_TRUE(window);
  RECT outer = {};
  GetWindowRect(window, &outer);
  const RECT frame = VisibleFrame(window);
  EXPECT_GE(frame.left, outer.left);
  EXPECT_GE(frame.top, outer.top);
  EXPECT_LE(frame.right, outer.right);
  EXPECT_LE(frame.bottom, outer.bottom);
  EXPECT_GT(frame.right - frame.left, 0);
  DestroyWindow(window);
}

}  // namespace
}  // namespace vistrel
