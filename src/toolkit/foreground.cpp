#include "toolkit/foreground.h"

namespace vistrel {

Foreground TakeForeground(ForegroundPort& port) {
  using Key = ForegroundPort::Key;
  if (port.InFront()) return Foreground::Taken;
  // The program in front, or the user holding Alt, may give the foreground.
  if (port.OursInFront() || port.Held(Key::Alt)) {
    port.SetForeground();
    return Foreground::Taken;
  }
  // With Shift or Ctrl down, a press of Alt makes a combination of its own
  // (Alt+Shift switches the keyboard's language).
  if (port.Held(Key::Shift) || port.Held(Key::Ctrl)) return Foreground::WaitForModifiers;
  port.PressAlt();
  port.SetForeground();
  // Alt goes up once the window is in front, so its release reaches the
  // window and not the application under it; a key between makes it no lone
  // Alt, which opens a menu bar, should the application have kept the front.
  port.TapMaskKey();
  port.ReleaseAlt();
  // The next capture's mode is the user's modifiers, not this press.
  port.Held(Key::Alt);
  return Foreground::Taken;
}

}  // namespace vistrel
