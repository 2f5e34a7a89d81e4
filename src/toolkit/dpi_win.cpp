#include "toolkit/dpi_win.h"

namespace vistrel {

namespace {

constexpr int kBaseDpi = 96;

// Looked up in user32 itself, which every program has: older systems lack it.
template <typename Fn>
Fn User32Function(const char* name) {
  return reinterpret_cast<Fn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"user32.dll"), name)));
}

}  // namespace

int ScreenDpi() {
  static const int dpi = [] {
    HDC screen = GetDC(nullptr);
    const int value = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return value > 0 ? value : kBaseDpi;
  }();
  return dpi;
}

int WindowDpi(HWND window, int fallback) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  static const auto getDpiForWindow = User32Function<GetDpiForWindowFn>("GetDpiForWindow");
  const int dpi = getDpiForWindow && window ? static_cast<int>(getDpiForWindow(window)) : 0;
  return dpi > 0 ? dpi : fallback;
}

SIZE OuterSize(DWORD style, DWORD exStyle, int clientWidth, int clientHeight) {
  RECT r = {0, 0, clientWidth, clientHeight};
  AdjustWindowRectEx(&r, style, FALSE, exStyle);
  return {r.right - r.left, r.bottom - r.top};
}

}  // namespace vistrel
