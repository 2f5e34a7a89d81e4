// vistrel_testhooks.exe: the program as built, with one hidden window of the
// tests' own. Sent WM_COPYDATA tagged 0x7E57, it raises the text it carries
// (UTF-8) as the program's error, inside the program's own error boundary, so
// the tests can look at the error box. Sent kHandlesHeld with a handle kind
// (0 menus, 1 icons, 2 GDI objects), it answers how many of them the
// program's owners hold; sent kCapturesTaken, how many captures it has
// grabbed from the screen. Started with VISTREL_TEST_NO_TASKBAR=1, the program
// finds no taskbar to take its icon until the window is sent kTaskbarReady.
#include <windows.h>

#include <cstring>
#include <string>

#include "app/vistrel_app_win.h"
#include "capture/capture_win.h"
#include "toolkit/error.h"
#include "toolkit/handles_win.h"
#include "toolkit/window_win.h"

namespace {

constexpr ULONG_PTR kRaiseError = 0x7E57;
constexpr UINT kHandlesHeld = WM_APP + 0x57;
constexpr UINT kTaskbarReady = WM_APP + 0x58;
constexpr UINT kCapturesTaken = WM_APP + 0x59;

bool taskbarReady = true;

// The shell's notification call, holding no icon while there is no taskbar.
BOOL WINAPI NotifyWhenTheTaskbarIsThere(DWORD action, PNOTIFYICONDATAW record) {
  if (!taskbarReady && (action == NIM_ADD || action == NIM_MODIFY)) return FALSE;
  return Shell_NotifyIconW(action, record);
}

class ErrorTrigger : public vistrel::Window {
 public:
  void Create() {
    RegisterWindowClass("VistrelTestHooks", nullptr, nullptr);
    CreateWin("VistrelTestHooks", "", WS_POPUP, 0, 0, 0, 0, 0, nullptr);
  }

 protected:
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    if (message == kHandlesHeld && wParam < vistrel::kHandleKinds)
      return vistrel::HandlesHeld(static_cast<vistrel::HandleKind>(wParam));
    if (message == kCapturesTaken) return vistrel::CapturesTaken();
    if (message == kTaskbarReady) {
      taskbarReady = true;
      return 1;
    }
    if (message == WM_COPYDATA) {
      const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
      if (data && data->dwData == kRaiseError && data->lpData) {
        const auto* text = static_cast<const char*>(data->lpData);
        throw vistrel::Error(std::string(text, strnlen(text, data->cbData)));
      }
    }
    return Window::OnMessage(message, wParam, lParam);
  }
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  wchar_t noTaskbar[4] = L"";
  GetEnvironmentVariableW(L"VISTREL_TEST_NO_TASKBAR", noTaskbar, 4);
  taskbarReady = noTaskbar[0] != L'1';
  ErrorTrigger trigger;
  trigger.Create();
  return vistrel::RunVistrel(&NotifyWhenTheTaskbarIsThere);
}
