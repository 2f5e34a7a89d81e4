#pragma once
#include <windows.h>

#include "toolkit/foreground.h"

namespace vistrel {

// The system's foreground for one window of the program.
class SystemForeground : public ForegroundPort {
 public:
  explicit SystemForeground(HWND window) : window_(window) {}
  bool InFront() const override { return GetForegroundWindow() == window_; }
  bool OursInFront() const override;
  void SetForeground() override { SetForegroundWindow(window_); }
  bool Held(Key key) override;
  void PressAlt() override { SendKey(VK_MENU, 0); }
  void ReleaseAlt() override { SendKey(VK_MENU, KEYEVENTF_KEYUP); }
  void TapMaskKey() override;

 private:
  static void SendKey(WORD key, DWORD flags);
  HWND window_;
};

}  // namespace vistrel
