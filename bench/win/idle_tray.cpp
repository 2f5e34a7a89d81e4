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
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  WNDCLASSW wc = {};
  wc.lpfnWndProc = Proc;
  wc.hInstance = instance;
  wc.lpszClassName = L"VistrelIdleTray";
  RegisterClassW(&wc);
  HWND hwnd = CreateWindowExW(0, wc.lpszClassName, L"idle tray", WS_POPUP, 0, 0, 0, 0, nullptr,
                              nullptr, instance, nullptr);
  NOTIFYICONDATAW icon = {};
  icon.cbSize = sizeof icon;
  icon.hWnd = hwnd;
  icon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  icon.uCallbackMessage = WM_APP;
  icon.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
  lstrcpyW(icon.szTip, L"idle tray");
  Shell_NotifyIconW(NIM_ADD, &icon);
  SetTimer(hwnd, 1, 100, nullptr);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  Shell_NotifyIconW(NIM_DELETE, &icon);
  return 0;
}
