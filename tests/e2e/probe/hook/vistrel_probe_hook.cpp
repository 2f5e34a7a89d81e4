// Loaded by the system into the inspected program when the probe hooks one of
// its threads (WH_GETMESSAGE). Font, menu and icon handles belong to their process,
// so what they hold can only be read from inside: on the probe's query message
// the hook reads it and sends it back in one WM_COPYDATA.
#include <windows.h>

#include "hook_query.h"

namespace {

struct Fonts {
  FontRecord records[kMaxRecords];
  int count;
};

void AddFont(Fonts* f, HWND hwnd) {
  if (f->count >= kMaxRecords) return;
  FontRecord& r = f->records[f->count++];
  ZeroMemory(&r, sizeof r);
  r.hwnd = static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(hwnd));
  const HFONT font = reinterpret_cast<HFONT>(SendMessageW(hwnd, WM_GETFONT, 0, 0));
  r.hasFont = font != nullptr;
  if (font && GetObjectW(font, sizeof r.font, &r.font) == sizeof r.font) r.readable = 1;
}

void Reply(HWND replyTo, ULONG_PTR tag, const void* records, size_t bytes) {
  COPYDATASTRUCT data = {tag, static_cast<DWORD>(bytes), const_cast<void*>(records)};
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(replyTo, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&data), SMTO_NORMAL, 2000,
                      &ignored);
}

BOOL CALLBACK AddChildFont(HWND child, LPARAM param) {
  AddFont(reinterpret_cast<Fonts*>(param), child);
  return TRUE;
}

void AnswerFonts(HWND window, HWND replyTo) {
  static Fonts f;
  f.count = 0;
  AddFont(&f, window);
  EnumChildWindows(window, AddChildFont, reinterpret_cast<LPARAM>(&f));
  Reply(replyTo, kFontReplyTag, f.records, f.count * sizeof(FontRecord));
}

void AnswerMenu(HWND menuWindow, HWND replyTo) {
  static MenuRecord records[kMaxRecords];
  constexpr UINT kGetHMenu = 0x01E1;  // MN_GETHMENU
  const HMENU menu = reinterpret_cast<HMENU>(SendMessageW(menuWindow, kGetHMenu, 0, 0));
  int count = menu ? GetMenuItemCount(menu) : 0;
  if (count > kMaxRecords) count = kMaxRecords;
  for (int i = 0; i < count; ++i) {
    MenuRecord& r = records[i];
    ZeroMemory(&r, sizeof r);
    r.id = GetMenuItemID(menu, i);
    r.state = GetMenuState(menu, i, MF_BYPOSITION);
    GetMenuItemRect(nullptr, menu, i, &r.rect);
    GetMenuStringW(menu, i, r.text, 128, MF_BYPOSITION);
  }
  Reply(replyTo, kMenuReplyTag, records, count * sizeof(MenuRecord));
}

void AnswerIcon(HWND box, HWND replyTo) {
  int kind = kNoIcon;
  for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    const LONG style = GetWindowLongW(child, GWL_STYLE);
    wchar_t cls[16] = {};
    GetClassNameW(child, cls, 16);
    if (lstrcmpiW(cls, L"Static") || (style & SS_TYPEMASK) != SS_ICON || !IsWindowVisible(child))
      continue;
    const HICON icon = reinterpret_cast<HICON>(SendMessageW(child, STM_GETICON, 0, 0));
    if (!icon) continue;
    // The system icons are shared: the box holds the very handle LoadIcon gives.
    kind = icon == LoadIconW(nullptr, IDI_HAND)          ? kStopIcon
           : icon == LoadIconW(nullptr, IDI_EXCLAMATION) ? kWarningIcon
           : icon == LoadIconW(nullptr, IDI_ASTERISK)    ? kInformationIcon
           : icon == LoadIconW(nullptr, IDI_QUESTION)    ? kQuestionIcon
                                                         : kOtherIcon;
  }
  Reply(replyTo, kIconReplyTag, &kind, sizeof kind);
}

BOOL CALLBACK MatchCursorResource(HMODULE module, LPCWSTR, LPWSTR name, LONG_PTR param) {
  auto* r = reinterpret_cast<CursorRecord*>(param);
  if (IS_INTRESOURCE(name) && LoadCursorW(module, name) == GetCursor()) {
    r->resourceId = static_cast<int>(reinterpret_cast<UINT_PTR>(name));
    return FALSE;
  }
  return TRUE;
}

void AnswerCursor(HWND replyTo) {
  CursorRecord r = {};
  const HCURSOR cursor = GetCursor();
  // The system cursors are shared: LoadCursor gives the very handle in use.
  for (int id = 32512; id <= 32651; ++id)
    if (cursor && LoadCursorW(nullptr, MAKEINTRESOURCEW(id)) == cursor) r.systemId = id;
  if (cursor)
    EnumResourceNamesW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(12) /* RT_GROUP_CURSOR */,
                       MatchCursorResource, reinterpret_cast<LONG_PTR>(&r));
  Reply(replyTo, kCursorReplyTag, &r, sizeof r);
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK
    ProbeGetMessageHook(int code, WPARAM wParam, LPARAM lParam) {
  static const UINT query = RegisterWindowMessageW(kQueryMessage);
  auto* msg = reinterpret_cast<MSG*>(lParam);
  if (code == HC_ACTION && wParam == PM_REMOVE && msg->message == query) {
    const HWND replyTo = reinterpret_cast<HWND>(msg->wParam);
    if (msg->lParam == kQueryFonts) AnswerFonts(msg->hwnd, replyTo);
    if (msg->lParam == kQueryMenu) AnswerMenu(msg->hwnd, replyTo);
    if (msg->lParam == kQueryIcon) AnswerIcon(msg->hwnd, replyTo);
    if (msg->lParam == kQueryCursor) AnswerCursor(replyTo);
    msg->message = WM_NULL;  // the program itself never sees the query
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
