#pragma once
#include <windows.h>

namespace vistrel {

// Where a window's frame lies on the screen. Windows 10 and 11 draw the
// resize borders invisible (about 7 pixels left, right and below), and
// GetWindowRect counts them: the visible frame comes from the window
// manager's extended frame bounds where the system gives them.
struct FrameSources {
  // DwmGetWindowAttribute, or null where the system has no dwmapi.dll.
  HRESULT(WINAPI* extendedFrameBounds)(HWND window, DWORD attribute, PVOID value, DWORD size);
  BOOL(WINAPI* windowRect)(HWND window, LPRECT rect);
};

// The system's: dwmapi.dll is loaded at the first call, not at start-up.
const FrameSources& SystemFrameSources();

// The visible frame where the bounds are given, else the window rectangle;
// all zero when neither is (no window).
RECT VisibleFrame(HWND window, const FrameSources& sources = SystemFrameSources());

// Where a window's client area lies on the screen; all zero when there is no
// window.
RECT ClientArea(HWND window);

}  // namespace vistrel
