#pragma once

namespace vistrel {

// What bringing one of the program's windows to the front asks of the
// system; Windows' in the program, a stand-in in the tests.
class ForegroundPort {
 public:
  enum class Key { Alt, Ctrl, Shift };
  virtual ~ForegroundPort() = default;
  // The window to bring is the foreground window.
  virtual bool InFront() const = 0;
  // The foreground window is one of the program's, or there is none.
  virtual bool OursInFront() const = 0;
  // Asks for the window to become the foreground window.
  virtual void SetForeground() = 0;
  // The key is down. The query reads away its "pressed since" bit.
  virtual bool Held(Key key) = 0;
  // Key events as the keyboard makes them, to the foreground window.
  virtual void PressAlt() = 0;
  virtual void ReleaseAlt() = 0;
  // A press and release of a key no program binds.
  virtual void TapMaskKey() = 0;
};

enum class Foreground { Taken, WaitForModifiers };

// Brings the window to the front after a key the program only polls, which
// went to the application in front: the system refuses the foreground to a
// program that did not receive the last input, and lets it change at a press
// of Alt. WaitForModifiers: Shift or Ctrl is down, try again once they are up.
Foreground TakeForeground(ForegroundPort& port);

}  // namespace vistrel
