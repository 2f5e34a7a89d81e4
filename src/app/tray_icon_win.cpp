#include "app/tray_icon_win.h"

#include <algorithm>
#include <cstring>
#include <iterator>

#include "toolkit/text_win.h"

namespace vistrel {

bool TrayIcon::Notify(DWORD action) {
  static_assert(sizeof(Record) == NOTIFYICONDATAW_V1_SIZE);
  static_assert(sizeof(void*) != 4 || sizeof(Record) == 152);
  return notify_(action, reinterpret_cast<NOTIFYICONDATAW*>(&record_));
}

void TrayIcon::Prepare(HWND window, HICON icon, const std::string& tip) {
  if (!registered_) Notify(NIM_DELETE);
  record_ = {};
  record_.cbSize = sizeof record_;
  record_.hWnd = window;
  record_.uID = 0;
  record_.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  record_.uCallbackMessage = WM_MOUSEMOVE;
  record_.hIcon = icon;
  const std::wstring wide = Wide(tip);
  const std::size_t length = std::min(wide.size(), std::size(record_.szTip) - 1);
  std::memcpy(record_.szTip, wide.data(), length * sizeof(wchar_t));
}

bool TrayIcon::Show() {
  if (registered_ && Notify(NIM_MODIFY)) return true;
  // An add when none is left, or when the shell lost it. A shell busy at
  // logon may time out on the add and show the icon all the same: every add
  // after it would fail, so an update tells whether it is there.
  registered_ = Notify(NIM_ADD) || Notify(NIM_MODIFY);
  return registered_;
}

void TrayIcon::Remove() {
  Notify(NIM_DELETE);
  registered_ = false;
}

}  // namespace vistrel
