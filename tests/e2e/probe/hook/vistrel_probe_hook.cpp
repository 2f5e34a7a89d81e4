// Loaded by the system into the inspected program when the probe hooks one of
// its threads (WH_GETMESSAGE). Font handles belong to their process, so the
// fonts of a window's controls can only be read from inside: on the probe's
// query message the hook reads them and sends them back in one WM_COPYDATA.
#include <windows.h>

#include "font_query.h"

namespace {

struct Collect {
  FontRecord records[kMaxFontRecords];
  int count;
};

void Add(Collect* c, HWND hwnd) {
  if (c->count >= kMaxFontRecords) return;
  FontRecord& r = c->records[c->count++];
  ZeroMemory(&r, sizeof r);
  r.hwnd = static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(hwnd));
  const HFONT font = reinterpret_cast<HFONT>(SendMessageA(hwnd, WM_GETFONT, 0, 0));
  r.hasFont = font != nullptr;
  if (font && GetObjectA(font, sizeof r.font, &r.font) == sizeof r.font) r.readable = 1;
}

void Answer(HWND window, HWND replyTo) {
  static Collect c;
  c.count = 0;
  Add(&c, window);
  EnumChildWindows(
      window,
      [](HWND child, LPARAM param) -> BOOL {
        Add(reinterpret_cast<Collect*>(param), child);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&c));
  COPYDATASTRUCT data = {kFontReplyTag, static_cast<DWORD>(c.count * sizeof(FontRecord)),
                         c.records};
  DWORD_PTR ignored = 0;
  SendMessageTimeoutA(replyTo, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_NORMAL, 2000,
                      &ignored);
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK ProbeGetMessageHook(int code, WPARAM wParam,
                                                                      LPARAM lParam) {
  static const UINT query = RegisterWindowMessageA(kFontQueryMessage);
  auto* msg = reinterpret_cast<MSG*>(lParam);
  if (code == HC_ACTION && wParam == PM_REMOVE && msg->message == query) {
    Answer(msg->hwnd, reinterpret_cast<HWND>(msg->wParam));
    msg->message = WM_NULL;  // the program itself never sees the query
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
