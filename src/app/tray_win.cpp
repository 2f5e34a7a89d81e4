// Tray presence of the preview window: arming, the icon, its callbacks and
// menu, and the way back to the shown window.
#include <windows.h>
#include <shellapi.h>

#include <cstring>
#include <string>

#include "app/preview_window_win.h"
#include "app/tray.h"
#include "capture/hotkeys.h"
#include "overlay/overlay_window_win.h"
#include "settings/config_file_win.h"
#include "settings/preferences_window_win.h"
#include "settings/settings.h"
#include "toolkit/application_win.h"

namespace vistrel {

static_assert(sizeof(TrayIconRecordV1) == NOTIFYICONDATAA_V1_SIZE);
static_assert(sizeof(void*) != 4 || sizeof(TrayIconRecordV1) == 88);

namespace {

std::string ReadHotKeyName() {
  SettingsFile file;
  return settings::ReadHotKeyName(file);
}

}  // namespace

bool TForm1::NotifyIcon(DWORD action) {
  return Shell_NotifyIconA(action, reinterpret_cast<NOTIFYICONDATAA*>(&TrayIconRecord));
}

void TForm1::Run() {
  const std::string name = ReadHotKeyName();
  // Never more than one icon. A registered one is updated in place by
  // MinimizeToTray: emptying the tray even for a moment can cost seconds
  // (Wine hides its tray window then and waits for the window manager).
  if (!iconRegistered_) NotifyIcon(NIM_DELETE);
  TrayIconRecord = {};
  TrayIconRecord.cbSize = sizeof TrayIconRecord;
  TrayIconRecord.hWnd = Handle();
  TrayIconRecord.uID = 0;
  TrayIconRecord.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
  TrayIconRecord.uCallbackMessage = WM_MOUSEMOVE;
  TrayIconRecord.hIcon = icon_;
  const std::string tip = TrayTip(name);
  std::memcpy(TrayIconRecord.szTip, tip.c_str(), tip.size() + 1);
  Application::OnMinimize([this] { MinimizeToTray(); });
  DragState = {-1, -1, -1, -1};
  HotKeyCode = MapHotKey(name);
  if (SelectionActive) {
    Form4->Hide();
    SelectionActive = false;
  }
  MinimizeToTray();
}

void TForm1::MinimizeToTray() {
  StartTimer();
  // The icon of an earlier arming takes the new tooltip; an add when none is
  // left (or when the shell lost it).
  if (!iconRegistered_ || !NotifyIcon(NIM_MODIFY)) iconRegistered_ = NotifyIcon(NIM_ADD);
  Hide();
  InTray = true;
}

void TForm1::RestoreMainForm() {
  StopTimer();
  Show();
  Application::BringToFront();
  Application::Restore();
  NotifyIcon(NIM_DELETE);
  iconRegistered_ = false;
  InTray = false;
}

void TForm1::MouseOverTray(LPARAM lParam) {
  switch (TrayActionFor(lParam)) {
    case TrayAction::Restore:
      RestoreMainForm();
      break;
    case TrayAction::OpenMenu: {
      // Foreground first, and an empty message after, or the menu would not
      // close when the user clicks elsewhere.
      SetForegroundWindow(Handle());
      POINT cursor = {};
      GetCursorPos(&cursor);
      DragState.startCursorX = cursor.x;
      DragState.startCursorY = cursor.y;
      TrackPopupMenu(PopupMenu2, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, cursor.x,
                     cursor.y, 0, Handle(), nullptr);
      PostMessageA(Handle(), WM_NULL, 0, 0);
      break;
    }
    case TrayAction::None:
      break;
  }
}

void TForm1::Restore() { RestoreMainForm(); }

void TForm1::ParamsFromTray() { Form2->Show(); }

}  // namespace vistrel
