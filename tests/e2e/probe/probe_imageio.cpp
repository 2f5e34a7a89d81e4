// The program's file-save dialog: save-dialog.
#include "probe.h"

#include <dlgs.h>

namespace probe {

namespace {

DWORD_PTR QueryW(HWND hwnd, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
  DWORD_PTR result = 0;
  SendMessageTimeoutW(hwnd, message, wParam, lParam, SMTO_ABORTIFHUNG, 2000, &result);
  return result;
}

// A combo box's item texts, read through the wide messages.
Json ComboItems(HWND combo) {
  Json items = Json::Array();
  if (!combo) return items;
  const LRESULT count = static_cast<LRESULT>(QueryW(combo, CB_GETCOUNT));
  for (LRESULT i = 0; i < count; ++i) {
    const LRESULT length = static_cast<LRESULT>(QueryW(combo, CB_GETLBTEXTLEN, i));
    std::wstring text(length < 0 ? 0 : length + 1, L'\0');
    if (length >= 0) QueryW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()));
    text.resize(wcslen(text.c_str()));
    items.Push(Utf8FromWide(text));
  }
  return items;
}

std::string WideText(HWND hwnd) {
  if (!hwnd) return {};
  wchar_t text[1024] = {};
  QueryW(hwnd, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
  return Utf8FromWide(text);
}

// The file name box: a combo (Explorer style) or a plain edit.
HWND FileNameEdit(HWND dialog) {
  HWND box = GetDlgItem(dialog, cmb13);
  if (!box) return GetDlgItem(dialog, edt1);
  HWND edit = FindWindowExW(box, nullptr, L"Edit", nullptr);
  if (!edit) {
    HWND inner = FindWindowExW(box, nullptr, L"ComboBox", nullptr);
    if (inner) edit = FindWindowExW(inner, nullptr, L"Edit", nullptr);
  }
  return edit ? edit : box;
}

HWND SaveDialog(const Args& args) {
  for (HWND hwnd : TopLevelWindows(TargetPids(args)))
    if (ClassOf(hwnd) == "#32770" && IsWindowVisible(hwnd) && GetDlgItem(hwnd, cmb1) &&
        (GetDlgItem(hwnd, cmb13) || GetDlgItem(hwnd, edt1)))
      return hwnd;
  return nullptr;
}

// Describes the open save dialog; --name sets the file name box, then --press
// save|cancel presses that button (posted, so the probe never blocks).
int SaveDialogCommand(const Args& args) {
  const HWND dialog = SaveDialog(args);
  if (!dialog) Fail("no file dialog");
  const HWND edit = FileNameEdit(dialog);
  if (args.Has("name")) {
    const std::wstring name = WideFromUtf8(args.Get("name"));
    DWORD_PTR result = 0;
    SendMessageTimeoutW(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()),
                        SMTO_ABORTIFHUNG, 5000, &result);
  }
  const HWND types = GetDlgItem(dialog, cmb1);
  Json answer =
      Json::Object()
          .Set("hwnd", HwndValue(dialog))
          .Set("owner", HwndValue(GetWindow(dialog, GW_OWNER)))
          .Set("caption", WideText(dialog))
          .Set("file_name", WideText(edit))
          .Set("types", ComboItems(types))
          .Set("type", static_cast<long long>(static_cast<LRESULT>(QueryW(types, CB_GETCURSEL))))
          .Set("folder", WideText(GetDlgItem(dialog, cmb2)))
          .Set("read_only_box", GetDlgItem(dialog, chx1) != nullptr &&
                                    IsWindowVisible(GetDlgItem(dialog, chx1)) != 0);
  const std::string press = args.Get("press");
  if (!press.empty()) {
    const int id = press == "save" ? IDOK : press == "cancel" ? IDCANCEL : 0;
    if (!id) Fail("--press save or cancel");
    answer.Set("pressed", PostMessageW(GetDlgItem(dialog, id), BM_CLICK, 0, 0) != 0);
  }
  Print(answer);
  return 0;
}

ProbeCommand saveDialogCommand(
    "save-dialog", SaveDialogCommand,
    "save-dialog [--name TEXT] [--press save|cancel]: the program's open file dialog");

}  // namespace

}  // namespace probe
