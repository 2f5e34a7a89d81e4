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
//   --folder-by-path  the same folder by SHGetFolderPathW
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

#include <cwchar>
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
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

bool Has(const wchar_t* commandLine, const wchar_t* flag) {
  const std::size_t length = std::wcslen(flag);
  for (const wchar_t* at = std::wcsstr(commandLine, flag); at; at = std::wcsstr(at + 1, flag))
    if (at[length] == L'\0' || at[length] == L' ') return true;
  return false;
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  const wchar_t* commandLine = GetCommandLineW();
#ifdef FOOTPRINT_PROGRAM_IMPORTS
  // Referenced so that comctl32 is imported and loaded at start, as the
  // program's is; called only with the flag.
  volatile auto initControls = &InitCommonControlsEx;
  (void)initControls;
#endif
  if (Has(commandLine, L"--icc")) {
    INITCOMMONCONTROLSEX controls = {sizeof controls,
                                     ICC_STANDARD_CLASSES | ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
#ifdef FOOTPRINT_PROGRAM_IMPORTS
    InitCommonControlsEx(&controls);
#else
    // Loaded here, at the first use, and kept.
    using Init = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);
    if (HMODULE comctl32 = LoadLibraryW(L"comctl32.dll"))
      if (auto init = reinterpret_cast<Init>(
              reinterpret_cast<void*>(GetProcAddress(comctl32, "InitCommonControlsEx"))))
        init(&controls);
#endif
  }
  if (Has(commandLine, L"--folder")) vistrel::DefaultSaveFolder();
  if (Has(commandLine, L"--folder-by-path")) {
    wchar_t path[MAX_PATH] = L"";
    SHGetFolderPathW(nullptr, CSIDL_PERSONAL, nullptr, SHGFP_TYPE_CURRENT, path);
  }
  const bool forms = Has(commandLine, L"--prefs") || Has(commandLine, L"--about") ||
                     Has(commandLine, L"--overlay");
  // Kept for the process's life, as the program keeps its own.
  static std::unique_ptr<vistrel::Application> app;
  if (Has(commandLine, L"--app") || forms) app = std::make_unique<vistrel::Application>("Vistrel");
  static vistrel::Capturer capturer;
  static vistrel::PreferencesWindow preferences;
  static vistrel::AboutWindow about;
  static vistrel::SelectionOverlay overlay;
  if (Has(commandLine, L"--clipboard")) capturer.Create();
  if (Has(commandLine, L"--overlay")) overlay.Create(*app, {});
  if (Has(commandLine, L"--prefs")) {
    std::vector<std::string> names;
    for (const vistrel::HotKey& key : vistrel::HotKeyTable) names.emplace_back(key.name);
    preferences.Create(*app, std::move(names), {});
  }
  if (Has(commandLine, L"--about")) about.Create(*app, [] {});

  WNDCLASSW wc = {};
  wc.lpfnWndProc = Proc;
  wc.hInstance = instance;
  wc.lpszClassName = L"VistrelFootprint";
  RegisterClassW(&wc);
  HWND hwnd = CreateWindowExW(0, wc.lpszClassName, L"footprint", WS_POPUP, 0, 0, 0, 0, nullptr,
                              nullptr, instance, nullptr);
  NOTIFYICONDATAW icon = {};
  icon.cbSize = sizeof icon;
  icon.hWnd = hwnd;
  icon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  icon.uCallbackMessage = WM_APP;
  icon.hIcon = LoadIconW(nullptr, IDI_APPLICATION);
  lstrcpyW(icon.szTip, L"footprint");
  Shell_NotifyIconW(NIM_ADD, &icon);
  SetTimer(hwnd, 1, 100, nullptr);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  Shell_NotifyIconW(NIM_DELETE, &icon);
  return 0;
}
