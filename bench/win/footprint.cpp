// vistrel_footprint*.exe: the minimal tray poller (as vistrel_idle_tray.exe)
// plus, one at a time, what the program does before its first capture, so
// that each step's private memory and start-up time can be told apart.
//
// Built four ways: bare; importing the DLL the program imports (comctl32;
// FOOTPRINT_PROGRAM_IMPORTS); with that and the program's own resources, its
// common-controls 6 manifest among them (_v6); and with the resources but
// comctl32 not imported, loaded by --icc (_v6_on_use).
// Flags, each adding a step before the tray icon shows:
//   --icc             InitCommonControlsEx as the program calls it
//   --folder          the documents folder as the program looks it up
//   --folder-by-path  the same folder by SHGetFolderPathA
//   --app             the program's hidden application window
//   --clipboard       the capture engine's clipboard window
//   --prefs           the preferences window, created hidden, as at start
//   --about           the about window, created hidden
//   --overlay         the selection overlay, created hidden
#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <commdlg.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "about/about_window_win.h"
#include "capture/capture_win.h"
#include "capture/hotkeys.h"
#include "overlay/selection_overlay_win.h"
#include "settings/config_file_win.h"
#include "settings/preferences_window_win.h"
#include "toolkit/application_win.h"

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

bool Has(const char* commandLine, const char* flag) {
  const std::size_t length = std::strlen(flag);
  for (const char* at = std::strstr(commandLine, flag); at; at = std::strstr(at + 1, flag))
    if (at[length] == '\0' || at[length] == ' ') return true;
  return false;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int) {
#ifdef FOOTPRINT_PROGRAM_IMPORTS
  // Referenced so that comctl32 is imported and loaded at start, as the
  // program's is; called only with the flag.
  volatile auto initControls = &InitCommonControlsEx;
  (void)initControls;
#endif
  if (Has(commandLine, "--icc")) {
    INITCOMMONCONTROLSEX controls = {sizeof controls,
                                     ICC_STANDARD_CLASSES | ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
#ifdef FOOTPRINT_PROGRAM_IMPORTS
    InitCommonControlsEx(&controls);
#else
    // Loaded here, at the first use, and kept.
    using Init = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    if (HMODULE comctl32 = LoadLibraryA("comctl32.dll"))
      if (auto init = reinterpret_cast<Init>(
              reinterpret_cast<void*>(GetProcAddress(comctl32, "InitCommonControlsEx"))))
        init(&controls);
#endif
  }
  if (Has(commandLine, "--folder")) vistrel::DefaultSaveFolder();
  if (Has(commandLine, "--folder-by-path")) {
    char path[MAX_PATH] = "";
    SHGetFolderPathA(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, path);
  }
  const bool forms =
      Has(commandLine, "--prefs") || Has(commandLine, "--about") || Has(commandLine, "--overlay");
  // Kept for the process's life, as the program keeps its own.
  static std::unique_ptr<vistrel::Application> app;
  if (Has(commandLine, "--app") || forms) app = std::make_unique<vistrel::Application>("Vistrel");
  static vistrel::Capturer capturer;
  static vistrel::PreferencesWindow preferences;
  static vistrel::AboutWindow about;
  static vistrel::SelectionOverlay overlay;
  if (Has(commandLine, "--clipboard")) capturer.Create();
  if (Has(commandLine, "--overlay")) overlay.Create(*app, {});
  if (Has(commandLine, "--prefs")) {
    std::vector<std::string> names;
    for (const vistrel::HotKey& key : vistrel::HotKeyTable) names.emplace_back(key.name);
    preferences.Create(*app, std::move(names), {});
  }
  if (Has(commandLine, "--about")) about.Create(*app, [] {});

  WNDCLASSA wc = {};
  wc.lpfnWndProc = Proc;
  wc.hInstance = instance;
  wc.lpszClassName = "VistrelFootprint";
  RegisterClassA(&wc);
  HWND hwnd = CreateWindowExA(0, wc.lpszClassName, "footprint", WS_POPUP, 0, 0, 0, 0, nullptr,
                              nullptr, instance, nullptr);
  NOTIFYICONDATAA icon = {};
  icon.cbSize = sizeof icon;
  icon.hWnd = hwnd;
  icon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  icon.uCallbackMessage = WM_APP;
  icon.hIcon = LoadIconA(nullptr, reinterpret_cast<LPCSTR>(IDI_APPLICATION));
  lstrcpyA(icon.szTip, "footprint");
  Shell_NotifyIconA(NIM_ADD, &icon);
  SetTimer(hwnd, 1, 100, nullptr);
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
  Shell_NotifyIconA(NIM_DELETE, &icon);
  return 0;
}
