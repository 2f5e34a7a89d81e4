// vistrel_idle_tray.exe: the least a tray-resident hot-key poller can be (a
// hidden window, a tray icon, a 100 ms timer querying one key), so the
// program's idle cost and start-up have something to be set against.
#include <windows.h>
// after windows.h, which it needs
#include <shellapi.h>

namespace {

LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER) {
    GetAsyncKeyState(VK_F12);
    return 0;
  }
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  WNDCLASSA wc = {};
  wc.lpfnWndProc = Proc;
  wc.hInstance = instance;
  wc.lpszClassName = "VistrelIdleTray";
  RegisterClassA(&wc);
  HWND hwnd = CreateWindowExA(0, wc.lpszClassName, "idle tray", WS_POPUP, 0, 0, 0, 0, nullptr,
                              nullptr, instance, nullptr);
  NOTIFYICONDATAA icon = {};
  icon.cbSize = sizeof icon;
  icon.hWnd = hwnd;
  icon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  icon.uCallbackMessage = WM_APP;
  icon.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
  lstrcpyA(icon.szTip, "idle tray");
  Shell_NotifyIconA(NIM_ADD, &icon);
  SetTimer(hwnd, 1, 100, nullptr);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  Shell_NotifyIconA(NIM_DELETE, &icon);
  return 0;
}
