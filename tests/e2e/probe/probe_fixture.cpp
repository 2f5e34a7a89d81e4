// fixture: a captioned window of the tests' own. Its client area shows a
// pattern in which every pixel's colour tells its position, so comparing a
// capture pixel by pixel shows any offset. It takes the keyboard focus (keys
// reach Wine only through a focused Wine window) and reports the keys and mouse
// buttons it receives as JSON lines.
#include "probe.h"

#include <commctrl.h>
#include <shellapi.h>

namespace probe {
namespace {

// Keep in step with fixture_color() in harness.py.
COLORREF PatternPixel(int x, int y) {
  const int r = x & 0xFF, g = y & 0xFF, b = 0x40 + (x >> 8) * 40 + (y >> 8) * 8;
  return RGB(r, g, b & 0xFF);
}

int solidColour = -1;  // 0xRRGGBB, or -1 for the pattern
int frame = -1;        // with --animate: the frame shown, a new solid colour every tick
constexpr UINT_PTR kAnimationTimer = 7;
int closeOnKey = -1;  // a virtual-key code whose press destroys the window
constexpr UINT kTrayMessage = WM_APP + 1;
bool ready = false;  // "ready" printed: later moves are reported as "placed"
RECT lastPlace = {};

// A colour of its own for each frame, so that captures taken at different
// frames differ.
COLORREF FrameColour(int n) { return RGB((n * 37) & 0xFF, (n * 101) & 0xFF, (n >> 3) & 0xFF); }

void Paint(HWND hwnd) {
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(hwnd, &ps);
  RECT client;
  GetClientRect(hwnd, &client);
  const int w = client.right, h = client.bottom;
  if (w > 0 && h > 0) {
    std::vector<DWORD> pixels(static_cast<size_t>(w) * h);
    for (int y = 0; y < h; ++y) {
      for (int x = 0; x < w; ++x) {
        const COLORREF c = frame >= 0         ? FrameColour(frame)
                           : solidColour >= 0 ? RGB(solidColour >> 16, (solidColour >> 8) & 0xFF,
                                                    solidColour & 0xFF)
                                              : PatternPixel(x, y);
        pixels[static_cast<size_t>(y) * w + x] =
            (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
      }
    }
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = w;
    info.bmiHeader.biHeight = -h;  // top-down
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    SetDIBitsToDevice(dc, 0, 0, w, h, 0, 0, 0, h, pixels.data(), &info, DIB_RGB_COLORS);
  }
  EndPaint(hwnd, &ps);
}

void Event(const char* name, Json details) { Print(details.Set("event", name)); }

// A window manager may place the window elsewhere than asked once it maps it
// (it keeps a new window's frame on the screen): each new place is reported.
void ReportPlace(HWND hwnd) {
  RECT window;
  GetWindowRect(hwnd, &window);
  if (!ready || EqualRect(&window, &lastPlace)) return;
  lastPlace = window;
  Event("placed", Json::Object()
                      .Set("rect", RectJson(window))
                      .Set("client", RectJson(ClientRectOnScreen(hwnd))));
}

Json Point(LPARAM lParam) {
  return Json::Object()
      .Set("x", static_cast<int>(static_cast<short>(LOWORD(lParam))))
      .Set("y", static_cast<int>(static_cast<short>(HIWORD(lParam))));
}

LRESULT CALLBACK FixtureProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_PAINT:
      Paint(hwnd);
      return 0;
    case WM_ERASEBKGND:
      return 1;
    case WM_TIMER:
      if (wParam == kAnimationTimer) {
        ++frame;
        InvalidateRect(hwnd, nullptr, FALSE);
        UpdateWindow(hwnd);
      }
      return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      Event("keydown", Json::Object().Set("vk", static_cast<long long>(wParam)));
      // The foreground window going away while a capture is under way.
      if (static_cast<int>(wParam) == closeOnKey) {
        DestroyWindow(hwnd);
        return 0;
      }
      break;
    case WM_KEYUP:
    case WM_SYSKEYUP:
      Event("keyup", Json::Object().Set("vk", static_cast<long long>(wParam)));
      break;
    case WM_LBUTTONDOWN:
      Event("lbuttondown", Point(lParam));
      return 0;
    case WM_LBUTTONUP:
      Event("lbuttonup", Point(lParam));
      return 0;
    case WM_RBUTTONDOWN:
      Event("rbuttondown", Point(lParam));
      return 0;
    case WM_RBUTTONUP:
      Event("rbuttonup", Point(lParam));
      return 0;
    case WM_MBUTTONDOWN:
      Event("mbuttondown", Point(lParam));
      return 0;
    case WM_MBUTTONUP:
      Event("mbuttonup", Point(lParam));
      return 0;
    case WM_SETFOCUS:
      Event("focus", Json::Object());
      return 0;
    case WM_KILLFOCUS:
      Event("blur", Json::Object());
      return 0;
    case kTrayMessage:
      Event("tray", Json::Object().Set("message", static_cast<long long>(LOWORD(lParam))));
      return 0;
    case WM_WINDOWPOSCHANGED:
      ReportPlace(hwnd);
      break;
    case WM_DESTROY: {
      NOTIFYICONDATAW tray = {};
      tray.cbSize = sizeof tray;
      tray.hWnd = hwnd;
      tray.uID = 1;
      Shell_NotifyIconW(NIM_DELETE, &tray);
      PostQuitMessage(0);
      return 0;
    }
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

// Sample controls, so the tests can check what the probe reads of children.
void AddControls(HWND parent) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  auto make = [&](const wchar_t* cls, const wchar_t* text, DWORD style, int id, int x, int y, int w,
                  int h) {
    return CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, x, y, w, h, parent,
                           reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, nullptr);
  };
  HWND button = make(L"BUTTON", L"Bouton", BS_PUSHBUTTON, 11, 5, 5, 80, 22);
  HFONT font =
      CreateFontW(-13, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, DEFAULT_CHARSET, OUT_DEFAULT_PRECIS,
                  CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, L"Arial");
  SendMessageW(button, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  HWND check = make(L"BUTTON", L"Coché", BS_AUTOCHECKBOX, 12, 5, 30, 80, 20);
  SendMessageW(check, BM_SETCHECK, BST_CHECKED, 0);
  HWND combo = make(L"COMBOBOX", L"", CBS_DROPDOWNLIST | WS_VSCROLL, 13, 100, 5, 80, 120);
  for (const wchar_t* item : {L"F11", L"F12", L"Impr. écran"})
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item));
  SendMessageW(combo, CB_SETCURSEL, 2, 0);
  HWND bar = make(TRACKBAR_CLASSW, L"", TBS_HORZ, 14, 100, 40, 120, 24);
  SendMessageW(bar, TBM_SETRANGE, TRUE, MAKELPARAM(1, 100));
  SendMessageW(bar, TBM_SETPOS, TRUE, 42);
  make(L"EDIT", L"C:\\Dossier", WS_BORDER | ES_AUTOHSCROLL, 15, 5, 60, 150, 20);
}

int Fixture(const Args& args) {
  const int x = static_cast<int>(args.Int("x", 60)), y = static_cast<int>(args.Int("y", 80));
  const int w = static_cast<int>(args.Int("w", 300)), h = static_cast<int>(args.Int("h", 200));
  const std::wstring title = args.Wide("title", "Vistrel fixture");
  solidColour = static_cast<int>(args.Int("solid", -1));
  closeOnKey = static_cast<int>(args.Int("close-on-key", -1));
  const int animate = static_cast<int>(args.Int("animate", 0));
  if (animate > 0) frame = 0;

  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = FixtureProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hCursor = LoadCursorW(nullptr, MAKEINTRESOURCEW(32512));
  wc.lpszClassName = L"VistrelFixture";
  RegisterClassExW(&wc);

  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  const bool layered = args.Has("alpha") || args.Has("colorkey");
  const DWORD exstyle = (args.Has("topmost") ? WS_EX_TOPMOST : 0) | (layered ? WS_EX_LAYERED : 0);
  RECT r = {x, y, x + w, y + h};  // --x/--y place the client area
  AdjustWindowRectEx(&r, style, FALSE, exstyle);
  HWND hwnd =
      CreateWindowExW(exstyle, L"VistrelFixture", title.c_str(), style, r.left, r.top,
                      r.right - r.left, r.bottom - r.top, nullptr, nullptr, wc.hInstance, nullptr);
  if (!hwnd) Fail("CreateWindowEx failed");
  if (args.Has("controls")) AddControls(hwnd);
  if (layered) {
    const int key = static_cast<int>(args.Int("colorkey", 0));
    SetLayeredWindowAttributes(
        hwnd, RGB(key >> 16, (key >> 8) & 0xFF, key & 0xFF),
        static_cast<BYTE>(args.Int("alpha", 255)),
        (args.Has("alpha") ? LWA_ALPHA : 0) | (args.Has("colorkey") ? LWA_COLORKEY : 0));
  }
  ShowWindow(hwnd, SW_SHOW);
  UpdateWindow(hwnd);
  if (animate > 0) SetTimer(hwnd, kAnimationTimer, static_cast<UINT>(animate), nullptr);
  SetForegroundWindow(hwnd);
  SetFocus(hwnd);
  bool trayIcon = false;
  if (args.Has("tray")) {
    // A tray icon of the tests' own, to find the tray and check its clicks.
    NOTIFYICONDATAW tray = {};
    tray.cbSize = sizeof tray;
    tray.hWnd = hwnd;
    tray.uID = 1;
    tray.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
    tray.uCallbackMessage = kTrayMessage;
    tray.hIcon = LoadIconW(nullptr, MAKEINTRESOURCEW(32512));
    lstrcpynW(tray.szTip, title.c_str(), ARRAYSIZE(tray.szTip));
    trayIcon = Shell_NotifyIconW(NIM_ADD, &tray) != 0;
  }

  RECT window;
  GetWindowRect(hwnd, &window);
  lastPlace = window;
  ready = true;
  Event("ready", Json::Object()
                     .Set("hwnd", HwndValue(hwnd))
                     .Set("pid", GetCurrentProcessId())
                     .Set("rect", RectJson(window))
                     .Set("client", RectJson(ClientRectOnScreen(hwnd)))
                     .Set("x11_window", static_cast<long long>(reinterpret_cast<uintptr_t>(
                                            GetPropW(hwnd, L"__wine_x11_whole_window"))))
                     .Set("tray", trayIcon));
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  Event("closed", Json::Object());
  return 0;
}

ProbeCommand fixtureCommand(
    "fixture", Fixture,
    "fixture [--x X --y Y --w W --h H --title T --solid 0xRRGGBB --topmost --tray --alpha A "
    "--colorkey 0xRRGGBB --controls --close-on-key VK --animate MS]: a captioned window "
    "whose client area (at X,Y, W x H) shows the position pattern (with --animate, a solid "
    "colour that changes every MS milliseconds); prints 'ready' with its "
    "geometry, then its new places ('placed'), key, mouse and tray-icon events; with "
    "--close-on-key it destroys itself at "
    "that key's press");

}  // namespace
}  // namespace probe
