// What a desktop has beside the program, played by the probe: a shell that
// starts again (shell-restart) and a clipboard history (clipboard-history);
// and the monitors Windows programs see (monitors).
#include "probe.h"
// After windows.h, which probe.h brings.
#include <shellapi.h>

namespace probe {
namespace {

// Explorer starting again: the icons it held are forgotten, and every
// top-level window is told "TaskbarCreated".
int ShellRestart(const Args& args) {
  NOTIFYICONDATAW icon = {};
  icon.cbSize = NOTIFYICONDATAW_V1_SIZE;
  icon.hWnd = args.Hwnd();
  icon.uID = static_cast<UINT>(args.Int("id", 0));
  const bool deleted = Shell_NotifyIconW(NIM_DELETE, &icon) != FALSE;
  const UINT created = RegisterWindowMessageW(L"TaskbarCreated");
  const bool told = PostMessageW(HWND_BROADCAST, created, 0, 0) != FALSE;
  Print(Json::Object().Set("deleted", deleted).Set("broadcast", told));
  return 0;
}

// The content a history or a clipboard manager leaves alone, by the formats
// it carries.
bool MarkedForExclusion() {
  static const UINT exclude =
      RegisterClipboardFormatW(L"ExcludeClipboardContentFromMonitorProcessing");
  static const UINT history = RegisterClipboardFormatW(L"CanIncludeInClipboardHistory");
  if (IsClipboardFormatAvailable(exclude)) return true;
  if (!IsClipboardFormatAvailable(history)) return false;
  HANDLE data = GetClipboardData(history);
  const auto* value = data ? static_cast<const DWORD*>(GlobalLock(data)) : nullptr;
  const bool refused = value && GlobalSize(data) >= sizeof(DWORD) && *value == 0;
  if (value) GlobalUnlock(data);
  return refused;
}

struct History {
  long long updates = 0, taken = 0, skipped = 0;
  LARGE_INTEGER frequency{};
};

LRESULT CALLBACK HistoryProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  auto* history = reinterpret_cast<History*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (message != WM_CLIPBOARDUPDATE || !history)
    return DefWindowProcW(hwnd, message, wParam, lParam);
  ++history->updates;
  LARGE_INTEGER start, end;
  QueryPerformanceCounter(&start);
  Json update =
      Json::Object().Set("sequence", static_cast<long long>(GetClipboardSequenceNumber()));
  bool opened = false;
  for (int tries = 0; tries < 500 && !(opened = OpenClipboard(hwnd)); ++tries) Sleep(2);
  if (!opened) {
    update.Set("busy", true);
  } else if (MarkedForExclusion()) {
    ++history->skipped;
    update.Set("skipped", true);
  } else {
    // The history keeps a copy of the image: the owner renders it now.
    HANDLE bitmap = GetClipboardData(CF_BITMAP);
    BITMAP info = {};
    if (bitmap && GetObjectW(bitmap, sizeof info, &info)) {
      ++history->taken;
      update.Set("taken", true).Set("width", info.bmWidth).Set("height", info.bmHeight);
    }
  }
  if (opened) CloseClipboard();
  QueryPerformanceCounter(&end);
  Print(update.Set("ms", static_cast<double>(end.QuadPart - start.QuadPart) * 1000.0 /
                             static_cast<double>(history->frequency.QuadPart)));
  return 0;
}

// A clipboard-format listener that takes the image at every change not
// marked for exclusion, as the system's clipboard history does. Prints
// "listening", a line per change, and a summary after --seconds.
int ClipboardHistory(const Args& args) {
  History history;
  QueryPerformanceFrequency(&history.frequency);
  WNDCLASSW wc = {};
  wc.lpfnWndProc = HistoryProc;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"VistrelProbeHistory";
  RegisterClassW(&wc);
  HWND hwnd = CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              wc.hInstance, nullptr);
  if (!hwnd || !AddClipboardFormatListener(hwnd)) Fail("no clipboard listener");
  SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&history));
  Print(Json::Object().Set("listening", true));
  const DWORD until = GetTickCount() + static_cast<DWORD>(args.Int("seconds", 30) * 1000);
  SetTimer(hwnd, 1, 100, nullptr);
  MSG msg;
  while (static_cast<LONG>(until - GetTickCount()) > 0 && GetMessageW(&msg, nullptr, 0, 0) > 0)
    DispatchMessageW(&msg);
  RemoveClipboardFormatListener(hwnd);
  Print(Json::Object()
            .Set("updates", history.updates)
            .Set("taken", history.taken)
            .Set("skipped", history.skipped));
  return 0;
}

BOOL CALLBACK AddMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM list) {
  MONITORINFO info = {};
  info.cbSize = sizeof info;
  GetMonitorInfoW(monitor, &info);
  reinterpret_cast<Json*>(list)->Push(
      Json::Object().Set("rect", RectJson(info.rcMonitor)).Set("primary", (info.dwFlags & 1) != 0));
  return TRUE;
}

// The monitors as Windows programs see them.
int Monitors(const Args&) {
  Json list = Json::Array();
  EnumDisplayMonitors(nullptr, nullptr, AddMonitor, reinterpret_cast<LPARAM>(&list));
  Print(list);
  return 0;
}

ProbeCommand monitorsCommand("monitors", Monitors,
                             "monitors: each monitor's rectangle and whether it is the primary");
ProbeCommand shellRestartCommand(
    "shell-restart", ShellRestart,
    "shell-restart --hwnd H [--id I]: as Explorer starting again, forgets the icon of window H "
    "and broadcasts TaskbarCreated");
ProbeCommand historyCommand(
    "clipboard-history", ClipboardHistory,
    "clipboard-history [--seconds S]: a clipboard-format listener that takes CF_BITMAP at every "
    "change not marked ExcludeClipboardContentFromMonitorProcessing or "
    "CanIncludeInClipboardHistory = 0; prints 'listening', a line per change, a summary");

}  // namespace
}  // namespace probe
