// Window inspection and generic driving: windows, msgboxes, msgbox-close,
// click, settext, send, post, send-copydata, menu, info, focus, cursor.
#include "probe.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <map>

#include "hook/hook_query.h"

namespace probe {

namespace {

// What Wine does not hand across processes (fonts, menu items) is read inside
// the program by the hook DLL: the query is posted to the window, the answer
// comes back as WM_COPYDATA.
std::string* pendingReply = nullptr;
ULONG_PTR pendingTag = 0;

LRESULT CALLBACK ReplyProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_COPYDATA) {
    const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
    if (pendingReply && data->dwData == pendingTag) {
      pendingReply->assign(static_cast<const char*>(data->lpData), data->cbData);
      pendingReply = nullptr;
    }
    return TRUE;
  }
  return DefWindowProcW(hwnd, message, wParam, lParam);
}

std::optional<std::string> AskInside(HWND window, LPARAM kind, ULONG_PTR replyTag) {
  static HWND reply = [] {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = ReplyProc;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"VistrelProbeReply";
    RegisterClassW(&wc);
    return CreateWindowExW(0, wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                           wc.hInstance, nullptr);
  }();
  static HMODULE dll = [] {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring dllPath(path);
    dllPath = dllPath.substr(0, dllPath.find_last_of(L"\\/") + 1) + L"vistrel_probe_hook.dll";
    return LoadLibraryW(dllPath.c_str());
  }();
  if (!dll || !reply) return std::nullopt;
  auto proc = reinterpret_cast<HOOKPROC>(
      reinterpret_cast<void*>(GetProcAddress(dll, "ProbeGetMessageHook")));
  HHOOK hook =
      proc ? SetWindowsHookExW(WH_GETMESSAGE, proc, dll, GetWindowThreadProcessId(window, nullptr))
           : nullptr;
  if (!hook) return std::nullopt;
  std::string answer;
  pendingReply = &answer;
  pendingTag = replyTag;
  PostMessageW(window, RegisterWindowMessageW(kQueryMessage), reinterpret_cast<WPARAM>(reply),
               kind);
  const DWORD start = GetTickCount();
  while (pendingReply && GetTickCount() - start < 3000) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }
  const bool answered = pendingReply == nullptr;
  pendingReply = nullptr;
  UnhookWindowsHookEx(hook);
  if (!answered) return std::nullopt;
  return answer;
}

template <typename Record>
std::vector<Record> Records(const std::string& bytes) {
  std::vector<Record> records(bytes.size() / sizeof(Record));
  memcpy(records.data(), bytes.data(), records.size() * sizeof(Record));
  return records;
}

using FontRecords = std::map<unsigned long long, FontRecord>;

FontRecords QueryFonts(HWND topLevel) {
  FontRecords byHwnd;
  if (auto answer = AskInside(topLevel, kQueryFonts, kFontReplyTag))
    for (const FontRecord& r : Records<FontRecord>(*answer)) byHwnd[r.hwnd] = r;
  return byHwnd;
}

// null when the control uses the system font; {"readable": false} when the
// program could not be asked.
Json FontJson(HWND hwnd) {
  static std::map<HWND, FontRecords> byTopLevel;
  const HWND top = GetAncestor(hwnd, GA_ROOT);
  auto it = byTopLevel.find(top);
  if (it == byTopLevel.end()) it = byTopLevel.emplace(top, QueryFonts(top)).first;
  auto record = it->second.find(static_cast<unsigned long long>(reinterpret_cast<UINT_PTR>(hwnd)));
  if (record == it->second.end() || (record->second.hasFont && !record->second.readable))
    return Json::Object().Set("readable", false);
  if (!record->second.hasFont) return nullptr;
  const LOGFONTW& lf = record->second.font;
  return Json::Object()
      .Set("readable", true)
      .Set("face", Utf8FromWide(lf.lfFaceName))
      .Set("height", static_cast<int>(lf.lfHeight))
      .Set("weight", static_cast<int>(lf.lfWeight))
      .Set("italic", lf.lfItalic != 0)
      .Set("charset", static_cast<int>(lf.lfCharSet));
}

DWORD_PTR Query(HWND hwnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(hwnd, message, wParam, lParam, SMTO_ABORTIFHUNG, 2000, &result);
  return result;
}

// A list item in UTF-8. Asked in Unicode: Wine truncates the ANSI answer of
// CB_GETLBTEXT sent from another process to its first character.
std::string ItemText(HWND hwnd, UINT lengthMessage, UINT textMessage, int index) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(hwnd, lengthMessage, index, 0, SMTO_ABORTIFHUNG, 2000, &length) ||
      static_cast<LRESULT>(length) < 0)
    return {};
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(hwnd, textMessage, index, reinterpret_cast<LPARAM>(text.data()),
                      SMTO_ABORTIFHUNG, 2000, &copied);
  text.resize(wcslen(text.c_str()));
  return Utf8FromWide(text);
}

const char* ButtonType(DWORD style) {
  switch (style & BS_TYPEMASK) {
    case BS_CHECKBOX:
    case BS_AUTOCHECKBOX:
    case BS_3STATE:
    case BS_AUTO3STATE:
      return "check";
    case BS_RADIOBUTTON:
    case BS_AUTORADIOBUTTON:
      return "radio";
    case BS_GROUPBOX:
      return "group";
    case BS_DEFPUSHBUTTON:
      return "defpush";
    default:
      return "push";
  }
}

bool IsClass(const std::string& cls, const char* name) { return _stricmp(cls.c_str(), name) == 0; }

std::string WithoutAmpersands(std::string text) {
  text.erase(std::remove(text.begin(), text.end(), '&'), text.end());
  return text;
}

UINT MessageNumber(const std::string& text) {
  static const std::pair<const char*, UINT> names[] = {
      {"WM_CLOSE", WM_CLOSE},
      {"WM_COMMAND", WM_COMMAND},
      {"WM_SYSCOMMAND", WM_SYSCOMMAND},
      {"WM_SETTEXT", WM_SETTEXT},
      {"WM_KEYDOWN", WM_KEYDOWN},
      {"WM_KEYUP", WM_KEYUP},
      {"WM_LBUTTONDOWN", WM_LBUTTONDOWN},
      {"WM_LBUTTONUP", WM_LBUTTONUP},
      {"WM_MOUSEMOVE", WM_MOUSEMOVE},
      {"BM_CLICK", BM_CLICK},
      {"BM_SETCHECK", BM_SETCHECK},
      {"CB_SETCURSEL", CB_SETCURSEL},
      {"TBM_SETPOS", TBM_SETPOS},
      {"WM_USER", WM_USER},
  };
  for (const auto& [name, number] : names)
    if (_stricmp(name, text.c_str()) == 0) return number;
  char* end = nullptr;
  const unsigned long value = strtoul(text.c_str(), &end, 0);
  if (text.empty() || *end) Fail("unknown message: " + text);
  return static_cast<UINT>(value);
}

BOOL CALLBACK AddChild(HWND hwnd, LPARAM param) {
  reinterpret_cast<std::vector<HWND>*>(param)->push_back(hwnd);
  return TRUE;
}

std::vector<HWND> Children(HWND parent) {
  std::vector<HWND> found;
  EnumChildWindows(parent, AddChild, reinterpret_cast<LPARAM>(&found));
  return found;
}

// Which system icon a box shows, asked inside the program; null if unknown.
Json IconKindJson(HWND box) {
  const auto answer = AskInside(box, kQueryIcon, kIconReplyTag);
  if (!answer || answer->size() != sizeof(int)) return nullptr;
  static const char* const names[] = {"none",        "stop",     "warning",
                                      "information", "question", "other"};
  int kind = 0;
  memcpy(&kind, answer->data(), sizeof kind);
  return kind >= 0 && kind <= kOtherIcon ? Json(names[kind]) : Json(nullptr);
}

Json MsgBoxJson(HWND box) {
  Json buttons = Json::Array();
  std::string text;
  bool icon = false;
  for (HWND child : Children(box)) {
    if (!IsWindowVisible(child)) continue;
    const std::string cls = ClassOf(child);
    const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(child, GWL_STYLE));
    if (IsClass(cls, "Button")) {
      buttons.Push(Json::Object()
                       .Set("hwnd", HwndValue(child))
                       .Set("id", GetDlgCtrlID(child))
                       .Set("text", WithoutAmpersands(TextOf(child))));
    } else if (IsClass(cls, "Static")) {
      if ((style & SS_TYPEMASK) == SS_ICON)
        icon = true;
      else if (text.empty())
        text = TextOf(child);
    }
  }
  return Json::Object()
      .Set("hwnd", HwndValue(box))
      .Set("pid", PidOf(box))
      .Set("caption", TextOf(box))
      .Set("text", text)
      .Set("icon", icon)
      .Set("icon_kind", IconKindJson(box))
      .Set("buttons", buttons)
      .Set("owner", HwndValue(GetWindow(box, GW_OWNER)))
      .Set("rect", [&] {
        RECT r = {};
        GetWindowRect(box, &r);
        return RectJson(r);
      }());
}

std::vector<HWND> MessageBoxes(const Args& args) {
  std::vector<HWND> boxes;
  for (HWND hwnd : TopLevelWindows(TargetPids(args)))
    if (ClassOf(hwnd) == "#32770" && IsWindowVisible(hwnd)) boxes.push_back(hwnd);
  return boxes;
}

int Windows(const Args& args) {
  const std::string cls = args.Get("class");
  const bool children = args.Has("children");
  Json list = Json::Array();
  for (HWND hwnd : TopLevelWindows(TargetPids(args))) {
    if (!cls.empty() && _stricmp(ClassOf(hwnd).c_str(), cls.c_str()) != 0) continue;
    list.Push(TopLevelJson(hwnd, children));
  }
  Print(list);
  return 0;
}

int MsgBoxes(const Args& args) {
  Json list = Json::Array();
  for (HWND box : MessageBoxes(args)) list.Push(MsgBoxJson(box));
  Print(list);
  return 0;
}

int MsgBoxClose(const Args& args) {
  const std::vector<HWND> boxes = MessageBoxes(args);
  if (boxes.empty()) Fail("no message box");
  const std::wstring wanted = args.Wide("button");
  for (HWND child : Children(boxes.front())) {
    if (!IsWindowVisible(child) || !IsClass(ClassOf(child), "Button")) continue;
    const std::string text = WithoutAmpersands(TextOf(child));
    if (!wanted.empty() && lstrcmpiW(WideFromUtf8(text).c_str(), wanted.c_str())) continue;
    PostMessageW(child, BM_CLICK, 0, 0);
    Print(Json::Object().Set("box", HwndValue(boxes.front())).Set("clicked", text));
    return 0;
  }
  Fail("no button " + args.Get("button") + " in the message box");
}

// Posted, so a modal box opened by the click never blocks the probe.
int ScreenRect(const Args& args) {
  RECT r = {};
  const HWND hwnd = args.Hwnd();
  const bool found = GetWindowRect(hwnd, &r) != 0;
  // The X window of its top-level window: what a click there must land on.
  const HWND top = found ? GetAncestor(hwnd, GA_ROOT) : nullptr;
  const uintptr_t xwindow =
      top ? reinterpret_cast<uintptr_t>(GetPropW(top, L"__wine_x11_whole_window")) : 0;
  RECT topRect = {};
  if (top) GetWindowRect(top, &topRect);
  Print(Json::Object()
            .Set("found", found)
            .Set("rect", RectJson(r))
            .Set("top_rect", RectJson(topRect))
            .Set("top_client", RectJson(top ? ClientRectOnScreen(top) : RECT{}))
            .Set("x11_window", static_cast<long long>(xwindow)));
  return 0;
}

int SetText(const Args& args) {
  const HWND hwnd = args.Hwnd();
  const std::wstring text = args.Wide("text");
  DWORD_PTR result = 0;
  const bool done = SendMessageTimeoutW(hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                                        SMTO_ABORTIFHUNG, 5000, &result);
  Print(Json::Object().Set("done", done).Set("result", static_cast<long long>(result)));
  return 0;
}

int Send(const Args& args) {
  const HWND hwnd = args.Hwnd();
  DWORD_PTR result = 0;
  const bool done = SendMessageTimeoutW(hwnd, MessageNumber(args.Get("msg")), args.Int("wparam", 0),
                                        args.Int("lparam", 0), SMTO_NORMAL,
                                        static_cast<UINT>(args.Int("timeout", 5000)), &result);
  Print(Json::Object().Set("done", done).Set("result", static_cast<long long>(result)));
  return 0;
}

int Post(const Args& args) {
  const HWND hwnd = args.Hwnd();
  const bool posted = PostMessageW(hwnd, MessageNumber(args.Get("msg")), args.Int("wparam", 0),
                                   args.Int("lparam", 0));
  Print(Json::Object().Set("posted", posted));
  return 0;
}

// WM_COPYDATA cannot be posted; it is sent from a thread, and the probe stops
// waiting after --wait ms so a box opened by the receiver never blocks it.
std::string copyText;
COPYDATASTRUCT copyData = {};
volatile LONG copyFinished = 0;
DWORD_PTR copyResult = 0;

DWORD WINAPI SendCopyDataThread(LPVOID target) {
  SendMessageTimeoutW(static_cast<HWND>(target), WM_COPYDATA, 0,
                      reinterpret_cast<LPARAM>(&copyData), SMTO_NORMAL, 120000, &copyResult);
  InterlockedExchange(&copyFinished, 1);
  return 0;
}

int SendCopyData(const Args& args) {
  const HWND hwnd = args.Hwnd();
  copyText = args.Get("text");
  copyData.dwData = static_cast<ULONG_PTR>(args.Int("data", 0));
  copyData.cbData = static_cast<DWORD>(copyText.size() + 1);
  copyData.lpData = copyText.data();
  HANDLE thread = CreateThread(nullptr, 0, SendCopyDataThread, hwnd, 0, nullptr);
  WaitForSingleObject(thread, static_cast<DWORD>(args.Int("wait", 1000)));
  Print(Json::Object()
            .Set("completed", copyFinished != 0)
            .Set("result", static_cast<long long>(copyResult)));
  ExitProcess(0);
}

int Menu(const Args& args) {
  Json list = Json::Array();
  for (HWND hwnd : TopLevelWindows(TargetPids(args))) {
    if (ClassOf(hwnd) != "#32768" || !IsWindowVisible(hwnd)) continue;
    RECT r = {};
    GetWindowRect(hwnd, &r);
    Json menu = Json::Object().Set("hwnd", HwndValue(hwnd)).Set("rect", RectJson(r));
    // Menu handles do not cross processes: the items are read inside.
    const auto answer = AskInside(hwnd, kQueryMenu, kMenuReplyTag);
    if (answer) {
      Json items = Json::Array();
      for (const MenuRecord& r : Records<MenuRecord>(*answer)) {
        items.Push(Json::Object()
                       .Set("text", Utf8FromWide(std::wstring(r.text, wcsnlen(r.text, 128))))
                       .Set("id", static_cast<long long>(static_cast<int>(r.id)))
                       .Set("separator", (r.state & MF_SEPARATOR) != 0)
                       .Set("enabled", (r.state & (MF_GRAYED | MF_DISABLED)) == 0)
                       .Set("checked", (r.state & MF_CHECKED) != 0)
                       .Set("rect", RectJson(r.rect)));
      }
      menu.Set("items", items);
    } else {
      menu.Set("items", nullptr);
    }
    list.Push(menu);
  }
  Print(list);
  return 0;
}

int Info(const Args&) {
  POINT cursor = {};
  GetCursorPos(&cursor);
  const HWND foreground = GetForegroundWindow();
  Print(
      Json::Object()
          .Set(
              "screen",
              Json::Array().Push(GetSystemMetrics(SM_CXSCREEN)).Push(GetSystemMetrics(SM_CYSCREEN)))
          .Set("cursor", Json::Array().Push(cursor.x).Push(cursor.y))
          .Set("foreground", HwndValue(foreground))
          .Set("foreground_class", foreground ? ClassOf(foreground) : "")
          .Set("foreground_pid", foreground ? PidOf(foreground) : 0UL)
          .Set("acp", GetACP())
          .Set("pid", GetCurrentProcessId()));
  return 0;
}

// The keyboard focus of the window's thread, and the child of its active
// window that holds it (a combo box for the edit field inside it).
int Focus(const Args& args) {
  const HWND hwnd = args.Hwnd();
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  if (!GetGUIThreadInfo(GetWindowThreadProcessId(hwnd, nullptr), &info))
    Fail("no thread information");
  HWND control = info.hwndFocus;
  while (control && GetParent(control) && GetParent(control) != info.hwndActive)
    control = GetParent(control);
  Print(Json::Object()
            .Set("active", HwndValue(info.hwndActive))
            .Set("focus", HwndValue(info.hwndFocus))
            .Set("control", HwndValue(control))
            .Set("control_id", control ? GetDlgCtrlID(control) : 0));
  return 0;
}

// The cursor the window's thread has set, asked inside the program.
int Cursor(const Args& args) {
  const auto answer = AskInside(args.Hwnd(), kQueryCursor, kCursorReplyTag);
  if (!answer || answer->size() != sizeof(CursorRecord)) Fail("the program did not answer");
  CursorRecord r = {};
  memcpy(&r, answer->data(), sizeof r);
  static const std::pair<int, const char*> names[] = {
      {32512, "arrow"},       {32513, "ibeam"},    {32514, "wait"},     {32515, "cross"},
      {32516, "uparrow"},     {32642, "sizenwse"}, {32643, "sizenesw"}, {32644, "sizewe"},
      {32645, "sizens"},      {32646, "sizeall"},  {32648, "no"},       {32649, "hand"},
      {32650, "appstarting"}, {32651, "help"}};
  Json system = nullptr;
  for (const auto& [id, name] : names)
    if (id == r.systemId) system = name;
  Print(Json::Object()
            .Set("system", system)
            .Set("resource", r.resourceId ? Json(r.resourceId) : Json(nullptr)));
  return 0;
}

ProbeCommand focusCommand("focus", Focus,
                          "focus --hwnd H: active window and keyboard focus of H's thread");
ProbeCommand cursorCommand("cursor", Cursor,
                           "cursor --hwnd H: the cursor H's thread has set (system name or "
                           "the program's cursor resource)");
ProbeCommand windowsCommand(
    "windows", Windows,
    "windows [--class C] [--pid P | --exe NAME] [--children]: top-level windows of the program");
ProbeCommand msgboxesCommand("msgboxes", MsgBoxes,
                             "msgboxes [--pid P]: open message boxes (#32770) of the program");
ProbeCommand msgboxCloseCommand("msgbox-close", MsgBoxClose,
                                "msgbox-close [--button TEXT]: presses a button of the first box");
ProbeCommand screenRectCommand("screen-rect", ScreenRect,
                               "screen-rect --hwnd H: the window's rectangle on the screen, and "
                               "its top-level window's rectangles and X window");
ProbeCommand setTextCommand("settext", SetText, "settext --hwnd H --text T: WM_SETTEXT");
ProbeCommand sendCommand("send", Send,
                         "send --hwnd H --msg M [--wparam W --lparam L --timeout MS]: "
                         "SendMessageTimeout");
ProbeCommand postCommand("post", Post, "post --hwnd H --msg M [--wparam W --lparam L]");
ProbeCommand copyDataCommand(
    "send-copydata", SendCopyData,
    "send-copydata --hwnd H --data N --text T [--wait MS]: WM_COPYDATA with a zero-terminated "
    "UTF-8 text, sent from a thread");
ProbeCommand menuCommand("menu", Menu, "menu: open popup menus (#32768) of the program");
ProbeCommand infoCommand("info", Info, "info: screen size, cursor, foreground window, code page");

}  // namespace

Json ChildJson(HWND child) {
  const std::string cls = ClassOf(child);
  const HWND parent = GetParent(child);
  RECT r = {};
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
  const DWORD style = static_cast<DWORD>(GetWindowLongPtrW(child, GWL_STYLE));
  Json j = Json::Object()
               .Set("hwnd", HwndValue(child))
               .Set("parent", HwndValue(parent))
               .Set("class", cls)
               .Set("text", TextOf(child))
               .Set("id", GetDlgCtrlID(child))
               .Set("rect", RectJson(r))
               .Set("style", static_cast<long long>(style))
               .Set("exstyle", static_cast<long long>(GetWindowLongPtrW(child, GWL_EXSTYLE)))
               .Set("visible", IsWindowVisible(child) != 0)
               .Set("enabled", IsWindowEnabled(child) != 0)
               .Set("font", FontJson(child));
  if (IsClass(cls, "Button")) {
    j.Set("button_type", ButtonType(style));
    j.Set("checked", static_cast<long long>(Query(child, BM_GETCHECK)));
  } else if (IsClass(cls, TRACKBAR_CLASSA)) {
    j.Set("position", static_cast<long long>(Query(child, TBM_GETPOS)));
    j.Set("range", Json::Array()
                       .Push(static_cast<long long>(Query(child, TBM_GETRANGEMIN)))
                       .Push(static_cast<long long>(Query(child, TBM_GETRANGEMAX))));
  } else if (IsClass(cls, "ComboBox")) {
    Json items = Json::Array();
    const LRESULT count = static_cast<LRESULT>(Query(child, CB_GETCOUNT));
    for (LRESULT i = 0; i < count; ++i)
      items.Push(ItemText(child, CB_GETLBTEXTLEN, CB_GETLBTEXT, static_cast<int>(i)));
    j.Set("items", items);
    j.Set("selected", static_cast<long long>(static_cast<int>(Query(child, CB_GETCURSEL))));
    j.Set("dropped", Query(child, CB_GETDROPPEDSTATE) != 0);
  } else if (IsClass(cls, "ListBox")) {
    Json items = Json::Array();
    const LRESULT count = static_cast<LRESULT>(Query(child, LB_GETCOUNT));
    for (LRESULT i = 0; i < count; ++i)
      items.Push(ItemText(child, LB_GETTEXTLEN, LB_GETTEXT, static_cast<int>(i)));
    j.Set("items", items);
    j.Set("selected", static_cast<long long>(static_cast<int>(Query(child, LB_GETCURSEL))));
  } else if (IsClass(cls, "Edit")) {
    j.Set("readonly", (style & ES_READONLY) != 0);
  }
  return j;
}

Json TopLevelJson(HWND hwnd, bool children) {
  RECT window = {};
  GetWindowRect(hwnd, &window);
  COLORREF key = 0;
  BYTE alpha = 0;
  DWORD flags = 0;
  const DWORD exstyle = static_cast<DWORD>(GetWindowLongPtrW(hwnd, GWL_EXSTYLE));
  const bool layeredRead =
      (exstyle & WS_EX_LAYERED) && GetLayeredWindowAttributes(hwnd, &key, &alpha, &flags);
  Json layered = nullptr;
  if (layeredRead) {
    layered = Json::Object()
                  .Set("has_alpha", (flags & LWA_ALPHA) != 0)
                  .Set("alpha", static_cast<int>(alpha))
                  .Set("has_colorkey", (flags & LWA_COLORKEY) != 0)
                  .Set("colorkey", Json::Array()
                                       .Push(static_cast<int>(GetRValue(key)))
                                       .Push(static_cast<int>(GetGValue(key)))
                                       .Push(static_cast<int>(GetBValue(key))));
  }
  const uintptr_t xwindow = reinterpret_cast<uintptr_t>(GetPropW(hwnd, L"__wine_x11_whole_window"));
  Json j = Json::Object()
               .Set("hwnd", HwndValue(hwnd))
               .Set("pid", PidOf(hwnd))
               .Set("class", ClassOf(hwnd))
               .Set("title", TextOf(hwnd))
               .Set("visible", IsWindowVisible(hwnd) != 0)
               .Set("enabled", IsWindowEnabled(hwnd) != 0)
               .Set("iconic", IsIconic(hwnd) != 0)
               .Set("style", static_cast<long long>(GetWindowLongPtrW(hwnd, GWL_STYLE)))
               .Set("exstyle", static_cast<long long>(exstyle))
               .Set("rect", RectJson(window))
               .Set("client", RectJson(ClientRectOnScreen(hwnd)))
               .Set("layered", layered)
               .Set("owner", HwndValue(GetWindow(hwnd, GW_OWNER)))
               .Set("topmost", (exstyle & WS_EX_TOPMOST) != 0)
               .Set("foreground", GetForegroundWindow() == hwnd)
               .Set("x11_window", static_cast<long long>(xwindow));
  if (children) {
    j.Set("font", FontJson(hwnd));
    Json list = Json::Array();
    for (HWND child : Children(hwnd)) list.Push(ChildJson(child));
    j.Set("children", list);
  }
  return j;
}

}  // namespace probe
