#include "capture/window_frame_win.h"

#include "toolkit/system_library_win.h"

namespace vistrel {

namespace {
constexpr DWORD kExtendedFrameBounds = 9;  // DWMWA_EXTENDED_FRAME_BOUNDS
}  // namespace

const FrameSources& SystemFrameSources() {
  static const FrameSources sources = [] {
    FrameSources found{nullptr, &GetWindowRect};
    if (HMODULE dwm = LoadSystemLibrary(L"dwmapi.dll"))
      found.extendedFrameBounds = reinterpret_cast<decltype(found.extendedFrameBounds)>(
          reinterpret_cast<void*>(GetProcAddress(dwm, "DwmGetWindowAttribute")));
    return found;
  }();
  return sources;
}

RECT VisibleFrame(HWND window, const FrameSources& sources) {
  RECT r = {};
  if (window && sources.extendedFrameBounds &&
      SUCCEEDED(sources.extendedFrameBounds(window, kExtendedFrameBounds, &r, sizeof r)) &&
      r.right > r.left && r.bottom > r.top)
    return r;
  r = {};
  // Taken as the platform gives it: a maximised window's frame may start
  // above and left of the screen. No window leaves it all zero.
  sources.windowRect(window, &r);
  return r;
}

RECT ClientArea(HWND window) {
  RECT r = {};
  if (!window || !GetClientRect(window, &r)) return RECT{};
  // Both corners at once: a mirrored (right-to-left) window's are swapped back.
  MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

}  // namespace vistrel
