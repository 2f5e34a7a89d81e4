// The key-to-clipboard stopwatch: a window that, once focused, times each
// press of the key from its arrival in Wine to the program's preview window
// shown, to a CF_BITMAP announced on the clipboard, and to its bits readable
// here.
#include <windows.h>

#include <atomic>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

#include "probe_common.h"

namespace bench {

// The stopwatch window: key arrival to bitmap readable, one line per press.
int HotKey(const Args& args) {
  const int runs = std::atoi(Get(args, "runs", "5").c_str());
  const UINT vk = static_cast<UINT>(std::atoi(Get(args, "vk", "123").c_str()));
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
    // Paced: the caller (re)starts the program, then sends a line; the window
    // takes the foreground again, since the program's windows may have had it.
    if (paced) {
      char line[16];
      if (!std::fgets(line, sizeof line, stdin)) return 0;
      SetForegroundWindow(hwnd);
      SetFocus(hwnd);
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
    // GetClipboardData while the program renders.
    std::atomic<double> previewed = 0;
    std::thread previewWatch([&] {
      while (Now() - pressed < 10000) {
        if (IsWindowVisible(FindWindowW(L"TForm1", nullptr))) {
          previewed = Now();
          return;
        }
        Sleep(1);
      }
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
    previewWatch.join();
    char line[256];
    std::snprintf(line, sizeof line,
                  "{\"event\": \"latency\", \"run\": %d, \"ms\": %.3f, \"announced_ms\": %.3f, "
                  "\"previewed_ms\": %.3f, \"width\": %ld, \"height\": %ld}",
                  run, readable ? readable - pressed : -1.0, announced ? announced - pressed : -1.0,
                  previewed ? previewed.load() - pressed : -1.0, bm.bmWidth, bm.bmHeight);
    Print(line);
  }
  DestroyWindow(hwnd);
  return 0;
}

}  // namespace bench
