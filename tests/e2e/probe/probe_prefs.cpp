// The preferences and about windows: combo-items, tooltips, tree-select,
// record-args.
#include "probe.h"

#include <commctrl.h>

#include <cstdio>

namespace probe {

namespace {

DWORD_PTR SendW(HWND hwnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(hwnd, message, wParam, lParam, SMTO_ABORTIFHUNG, 2000, &result);
  return result;
}

std::string WideTextOf(HWND hwnd) {
  wchar_t text[1024] = {};
  SendW(hwnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
  return Utf8FromWide(text);
}

// A combo box's items and edit text. The wide messages, because Wine hands an
// ANSI buffer across processes back in UTF-16.
int ComboItemsCommand(const Args& args) {
  const HWND combo = args.Hwnd();
  Json items = Json::Array();
  const LRESULT count = static_cast<LRESULT>(SendW(combo, CB_GETCOUNT));
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT length = static_cast<LRESULT>(SendW(combo, CB_GETLBTEXTLEN, i));
    std::wstring text(length < 0 ? 1 : length + 1, L'\0');
    if (length >= 0) SendW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
    text.resize(wcslen(text.c_str()));
    items.Push(Utf8FromWide(text));
  }
  Print(Json::Object()
            .Set("items", items)
            .Set("text", WideTextOf(combo))
            .Set("selected", static_cast<long long>(static_cast<int>(SendW(combo, CB_GETCURSEL))))
            .Set("item_height",
                 static_cast<long long>(static_cast<int>(SendW(combo, CB_GETITEMHEIGHT, 0)))));
  return 0;
}

BOOL CALLBACK CollectTooltips(HWND hwnd, LPARAM list) {
  if (ClassOf(hwnd) == TOOLTIPS_CLASSA && IsWindowVisible(hwnd)) {
    RECT r = {};
    GetWindowRect(hwnd, &r);
    reinterpret_cast<Json*>(list)->Push(Json::Object()
                                            .Set("hwnd", HwndValue(hwnd))
                                            .Set("pid", static_cast<long long>(PidOf(hwnd)))
                                            .Set("text", WideTextOf(hwnd))
                                            .Set("rect", RectJson(r)));
  }
  return TRUE;
}

// Visible tooltip windows of every process (the tray's tooltips belong to
// Wine's explorer, not to the program).
int TooltipsCommand(const Args&) {
  Json list = Json::Array();
  EnumWindows(CollectTooltips, reinterpret_cast<LPARAM>(&list));
  Print(list);
  return 0;
}

// Selects a tree view item: the root's --child-th child (or the root itself
// without --child), expanding the root first.
int TreeSelectCommand(const Args& args) {
  const HWND tree = args.Hwnd();
  const auto root = static_cast<LPARAM>(SendW(tree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
  if (!root) Fail("empty tree");
  LPARAM item = root;
  if (args.Has("child")) {
    SendW(tree, TVM_EXPAND, TVE_EXPAND, root);
    item = static_cast<LPARAM>(SendW(tree, TVM_GETNEXTITEM, TVGN_CHILD, root));
    for (long long k = args.Int("child", 0); item && k > 0; --k)
      item = static_cast<LPARAM>(SendW(tree, TVM_GETNEXTITEM, TVGN_NEXT, item));
    if (!item) Fail("no such child");
  }
  SendW(tree, TVM_SELECTITEM, TVGN_CARET, item);
  const bool selected = static_cast<LPARAM>(SendW(tree, TVM_GETNEXTITEM, TVGN_CARET, 0)) == item;
  Print(Json::Object().Set("selected", selected));
  return 0;
}

// Stands in for a browser or a mail program: appends its command line (UTF-8)
// as one line to --out.
int RecordArgsCommand(const Args& args) {
  const std::wstring path = WideFromUtf8(args.Get("out"));
  if (path.empty()) Fail("--out is required");
  FILE* out = _wfopen(path.c_str(), L"ab");
  if (!out) Fail("cannot open " + args.Get("out"));
  const std::string line = Utf8FromWide(GetCommandLineW()) + "\n";
  fwrite(line.data(), 1, line.size(), out);
  fclose(out);
  Print(Json::Object().Set("recorded", true));
  return 0;
}

}  // namespace

ProbeCommand comboItemsCommand("combo-items", ComboItemsCommand,
                               "combo-items --hwnd H: a combo box's items, text and selection");
ProbeCommand tooltipsCommand("tooltips", TooltipsCommand,
                             "tooltips: visible tooltip windows of all processes");
ProbeCommand treeSelectCommand("tree-select", TreeSelectCommand,
                               "tree-select --hwnd H [--child N]: selects a tree view item");
ProbeCommand recordArgsCommand("record-args", RecordArgsCommand,
                               "record-args --out PATH ...: appends its command line to PATH");

}  // namespace probe
