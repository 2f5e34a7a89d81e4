#pragma once
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <string>

namespace vistrel {

// The program's icon in the notification area. Its mouse events reach the
// window it is registered on as mouse moves (WM_MOUSEMOVE, the event's
// number in the low word of lParam). Never more than one is registered.
class TrayIcon {
 public:
  // The shell's notification call: Shell_NotifyIconW, or a stand-in.
  using Notifier = BOOL(WINAPI*)(DWORD action, PNOTIFYICONDATAW record);
  explicit TrayIcon(Notifier notify = &Shell_NotifyIconW) : notify_(notify) {}

  // Prepares the registration anew: window, icon and tooltip. An icon left
  // without registration is deleted first; a registered one keeps its place
  // and takes the new tooltip at the next Show.
  void Prepare(HWND window, HICON icon, const std::string& tip);
  // Shows the prepared icon: the registered one is updated in place, since
  // emptying the tray even for a moment can cost seconds (Wine hides its tray
  // window then and waits for a window manager); else, or when the shell
  // has forgotten it (it started again), it is added; a failed add is
  // followed by an update, which finds an icon the shell took although the
  // add timed out. False when the shell holds no icon of ours (no taskbar
  // yet): try again later.
  bool Show();
  // The shell was started again and knows no icon of ours.
  void Forgotten() { registered_ = false; }
  bool Shown() const { return registered_; }
  void Remove();

 private:
  // NOTIFYICONDATAW in its first, shortest form (152 bytes in the 32-bit build).
  struct Record {
    DWORD cbSize;
    HWND hWnd;
    UINT uID;
    UINT uFlags;
    UINT uCallbackMessage;
    HICON hIcon;
    WCHAR szTip[64];
  };
  bool Notify(DWORD action);

  Notifier notify_;
  Record record_ = {};
  bool registered_ = false;  // the last add or update succeeded and no delete followed
};

}  // namespace vistrel
