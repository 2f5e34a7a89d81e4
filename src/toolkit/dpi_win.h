#pragma once
#include <windows.h>

namespace vistrel {

// The program is aware of each monitor's scale: its pixels are the screen's,
// and each window lays itself out for the DPI of the monitor it is on.

// The system's DPI, which the primary monitor had at logon: what a window is
// first made at.
int ScreenDpi();

// The DPI of the monitor a window is on, where the system tells it
// (Windows 10); else fallback.
int WindowDpi(HWND window, int fallback);

// The outer size of a window of that style whose client area is
// clientWidth x clientHeight, with the frame the system draws at its DPI.
SIZE OuterSize(DWORD style, DWORD exStyle, int clientWidth, int clientHeight);

}  // namespace vistrel
