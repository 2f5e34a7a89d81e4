#pragma once
#include <windows.h>

#include <string>

namespace vistrel {

// The program's icon in the notification area. Its mouse events reach the
// window it is registered on as mouse moves (WM_MOUSEMOVE, the event's
// number in the low word of lParam). Never more than one is registered.
class TrayIcon {
 public:
  // Prepares the registration anew: window, icon and tooltip. An icon left
  // without registration is deleted first; a registered one keeps its place
  // and takes the new tooltip at the next Show.
  void Prepare(HWND window, HICON icon, const std::string& tip);
  // Shows the prepared icon: the registered one is updated in place, since
  // emptying the tray even for a moment can cost seconds (Wine hides its tray
  // window then and waits for a window manager); else it is added.
  void Show();
  void Remove();

 private:
  // NOTIFYICONDATAA in its first, shortest form (88 bytes in the 32-bit build).
  struct Record {
    DWORD cbSize;
    HWND hWnd;
    UINT uID;
    UINT uFlags;
    UINT uCallbackMessage;
    HICON hIcon;
    CHAR szTip[64];
  };
  bool Notify(DWORD action);

  Record record_ = {};
  bool registered_ = false;  // the last add or update succeeded and no delete followed
};

}  // namespace vistrel
