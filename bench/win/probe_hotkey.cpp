// The key-to-clipboard stopwatch: a window that, once focused, times each
// press of the key from its arrival in Wine to the program's preview window
// shown, to a CF_BITMAP announced on the clipboard, and to its bits readable
// here. And the bare key program it times the same way, for the program to be
// set against.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "probe_common.h"
#include "toolkit/text_win.h"

namespace bench {

namespace {

// A window with nothing left to paint, nor in any of its visible controls.
bool Drawn(HWND window) {
  if (GetUpdateRect(window, nullptr, FALSE)) return false;
  for (HWND child = GetWindow(window, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT))
    if (IsWindowVisible(child) && GetUpdateRect(child, nullptr, FALSE)) return false;
  return true;
}

// Waits up to waitMs for a message, then answers all that came.
void AnswerMessages(DWORD waitMs) {
  MsgWaitForMultipleObjects(0, nullptr, FALSE, waitMs, QS_ALLINPUT);
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
}

}  // namespace

// The stopwatch window: key arrival to bitmap readable, one line per press.
int HotKey(const Args& args) {
  const int runs = std::atoi(Get(args, "runs", "5").c_str());
  const UINT vk = static_cast<UINT>(std::atoi(Get(args, "vk", "123").c_str()));
  std::wstring previewClass = L"TForm1";
  WNDCLASSW wc = {};
  wc.lpfnWndProc = DefWindowProcW;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
  wc.lpszClassName = L"VistrelBenchKeys";
  RegisterClassW(&wc);
  HWND hwnd =
      CreateWindowExW(0, wc.lpszClassName, L"Vistrel bench keys", WS_POPUP | WS_VISIBLE,
                      ScreenWidth() - 200, 0, 200, 40, nullptr, nullptr, wc.hInstance, nullptr);
  // The X window the caller gives the keyboard focus to.
  MSG msg;
  const double shown = Now();
  while (!GetPropW(hwnd, L"__wine_x11_whole_window") && Now() - shown < 5000) {
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    Sleep(5);
  }
  const auto xwindow = reinterpret_cast<std::uintptr_t>(GetPropW(hwnd, L"__wine_x11_whole_window"));
  Print(
      "{\"event\": \"ready\", \"hwnd\": " + std::to_string(reinterpret_cast<std::uintptr_t>(hwnd)) +
      ", \"x11_window\": " + std::to_string(xwindow) + "}");

  const bool paced = args.count("paced") > 0;
  for (int run = 0; run < runs; ++run) {
    // Paced: the caller (re)starts the program, then sends a line, which may
    // name the class of the preview window to watch ("go TForm1"); the window
    // takes the foreground again, since the program's windows may have had it.
    // Wine may give the foreground to the desktop a moment after a program
    // ends: the window holds it for half a second before it is ready.
    if (paced) {
      char line[128];
      if (!std::fgets(line, sizeof line, stdin)) return 0;
      std::string named = line;
      named.erase(named.find_last_not_of("\r\n") + 1);
      if (named.size() > 3) previewClass = vistrel::Wide(named.substr(3));
      const double asked = Now();
      double held = asked;
      while (Now() - held < 500 && Now() - asked < 10000) {
        if (GetForegroundWindow() != hwnd) {
          SetForegroundWindow(hwnd);
          SetFocus(hwnd);
          held = Now();
        }
        AnswerMessages(10);
      }
    }
    if (OpenClipboard(hwnd)) {
      EmptyClipboard();
      CloseClipboard();
    }
    Print("{\"event\": \"waiting\", \"run\": " + std::to_string(run) + "}");
    double pressed = 0;
    const double waitStart = Now();
    while (!pressed && Now() - waitStart < 60000) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_KEYDOWN && msg.wParam == vk && !(msg.lParam & (1 << 30)) && !pressed)
          pressed = Now();
        DispatchMessageW(&msg);
      }
    }
    if (!pressed) {
      Print("{\"error\": \"no key press within 60 s\"}");
      return 2;
    }
    // The program's preview window (hidden while it waits in the tray) is
    // watched from a thread of its own: this one may wait inside
    // GetClipboardData while the program renders. Shown, then painted: no
    // part of it or of its controls left to draw.
    std::atomic<double> previewed = 0, painted = 0;
    std::atomic<bool> watching = true;
    std::thread previewWatch([&] {
      while (Now() - pressed < 10000) {
        HWND preview = FindWindowW(previewClass.c_str(), nullptr);
        if (!previewed && IsWindowVisible(preview)) previewed = Now();
        if (previewed && Drawn(preview)) {
          painted = Now();
          break;
        }
        Sleep(1);
      }
      watching = false;
    });
    double announced = 0, readable = 0;
    BITMAP bm = {};
    while (!readable && Now() - pressed < 10000) {
      while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
      // Opened only once a bitmap is announced; its bits may then still have
      // to be made by the program and copied over to this process.
      if (IsClipboardFormatAvailable(CF_BITMAP)) {
        if (!announced) announced = Now();
        if (OpenClipboard(hwnd)) {
          HANDLE data = GetClipboardData(CF_BITMAP);
          if (data && GetObjectW(data, sizeof bm, &bm)) readable = Now();
          CloseClipboard();
        }
      }
      if (!readable) Sleep(1);
    }
    // Answering messages meanwhile, as a program in front does: the preview
    // taking the foreground sends this window its deactivation.
    while (watching) AnswerMessages(1);
    previewWatch.join();
    char line[256];
    std::snprintf(line, sizeof line,
                  "{\"event\": \"latency\", \"run\": %d, \"ms\": %.3f, \"announced_ms\": %.3f, "
                  "\"previewed_ms\": %.3f, \"painted_ms\": %.3f, \"width\": %ld, "
                  "\"height\": %ld}",
                  run, readable ? readable - pressed : -1.0, announced ? announced - pressed : -1.0,
                  previewed ? previewed.load() - pressed : -1.0,
                  painted ? painted.load() - pressed : -1.0, bm.bmWidth, bm.bmHeight);
    Print(line);
  }
  DestroyWindow(hwnd);
  return 0;
}

namespace {

constexpr UINT_PTR kPollTimer = 1;
constexpr UINT kPollIntervalMs = 100;

struct BareKeyState {
  int vk = VK_F12;
  HWND preview = nullptr;
  HBITMAP capture = nullptr;
  int width = 0, height = 0;
};
BareKeyState bareKey;

LRESULT CALLBACK BareKeyProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER && wParam == kPollTimer) {
    if (GetAsyncKeyState(bareKey.vk) == 0) return 0;
    // One press: the screen read, the window shown and painted, a copy on
    // the clipboard.
    KillTimer(hwnd, kPollTimer);
    bareKey.capture = GrabScreen(bareKey.width, bareKey.height);
    ShowWindow(bareKey.preview, SW_SHOWNOACTIVATE);
    UpdateWindow(bareKey.preview);
    CopyToClipboard(hwnd, bareKey.capture, bareKey.width, bareKey.height);
    return 0;
  }
  if (message == WM_PAINT && hwnd == bareKey.preview) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(hwnd, &paint);
    if (bareKey.capture) {
      RECT client;
      GetClientRect(hwnd, &client);
      HDC memory = CreateCompatibleDC(dc);
      HGDIOBJ previous = SelectObject(memory, bareKey.capture);
      // Scaled down as the program's preview is, every pixel counted.
      SetStretchBltMode(dc, HALFTONE);
      SetBrushOrgEx(dc, 0, 0, nullptr);
      StretchBlt(dc, 0, 0, client.right, client.bottom, memory, 0, 0, bareKey.width, bareKey.height,
                 SRCCOPY);
      SelectObject(memory, previous);
      DeleteDC(memory);
    }
    EndPaint(hwnd, &paint);
    return 0;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace

// The least a program can do for what the program's press gives the user:
// a 100 ms timer polling the key, then one BitBlt of the screen, a topmost
// window shown and painted (the picture scaled down), and a copy of the
// bitmap on the clipboard (as the bare probe's grab makes it). The stopwatch
// times it when told "go VistrelBarePreview".
int BareKey(const Args& args) {
  bareKey.vk = GetInt(args, "vk", VK_F12);
  bareKey.width = ScreenWidth();
  bareKey.height = ScreenHeight();
  HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSW wc = {};
  wc.lpfnWndProc = BareKeyProc;
  wc.hInstance = instance;
  wc.lpszClassName = L"VistrelBareKey";
  RegisterClassW(&wc);
  wc.lpszClassName = L"VistrelBarePreview";
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  RegisterClassW(&wc);
  HWND poller = CreateWindowExW(0, L"VistrelBareKey", L"bare key", WS_POPUP, 0, 0, 0, 0, nullptr,
                                nullptr, instance, nullptr);
  bareKey.preview =
      CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"VistrelBarePreview", L"bare preview",
                      WS_POPUP, 0, 0, 480, 270, nullptr, nullptr, instance, nullptr);
  SetTimer(poller, kPollTimer, kPollIntervalMs, nullptr);
  Print("{\"event\": \"ready\"}");
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) DispatchMessageW(&msg);
  return 0;
}

}  // namespace bench
