#include "toolkit/foreground_win.h"

namespace vistrel {

namespace {
// Unassigned in the virtual-key table: no program binds it.
constexpr WORD kMaskKey = 0xE8;
}  // namespace

bool SystemForeground::OursInFront() const {
  HWND front = GetForegroundWindow();
  if (!front) return true;
  DWORD process = 0;
  GetWindowThreadProcessId(front, &process);
  return process == GetCurrentProcessId();
}

bool SystemForeground::Held(Key key) {
  const int virtualKey = key == Key::Alt ? VK_MENU : key == Key::Ctrl ? VK_CONTROL : VK_SHIFT;
  return (GetAsyncKeyState(virtualKey) & 0x8000) != 0;
}

void SystemForeground::TapMaskKey() {
  SendKey(kMaskKey, 0);
  SendKey(kMaskKey, KEYEVENTF_KEYUP);
}

void SystemForeground::SendKey(WORD key, DWORD flags) {
  INPUT input = {};
  input.type = INPUT_KEYBOARD;
  input.ki.wVk = key;
  input.ki.dwFlags = flags;
  SendInput(1, &input, sizeof input);
}

}  // namespace vistrel
