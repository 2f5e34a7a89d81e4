#pragma once
#include <memory>

#include "about/about_window_win.h"
#include "app/preview_window_win.h"
#include "app/tray_icon_win.h"
#include "capture/capture_win.h"
#include "overlay/selection_overlay_win.h"
#include "settings/preferences_window_win.h"
#include "settings/stamped_reads.h"
#include "toolkit/application_win.h"

namespace vistrel {

// The program: creates and owns its four windows, its tray icon and its
// capture engine, and wires them together. The program is armed when the
// preview window is hidden, its icon is in the tray and the hot key is
// polled; it is shown when the preview window is on screen.
class VistrelApp {
 public:
  // notifyIcon: the shell's notification call for the tray icon.
  explicit VistrelApp(TrayIcon::Notifier notifyIcon = &Shell_NotifyIconW);
  // The windows go while the program is whole, the last created first, so
  // that their handlers of the end run: the clipboard's owner makes the last
  // capture into a bitmap of the clipboard's own as it goes.
  ~VistrelApp();
  VistrelApp(const VistrelApp&) = delete;
  VistrelApp& operator=(const VistrelApp&) = delete;

  // Creates the windows, hidden, in their order, and arms the program.
  void Start();
  // The message loop, until the program is closed.
  int Run() { return application_.Run(); }

 private:
  // Reads the hot key again, prepares the icon with its tooltip, goes to the
  // tray; hides the overlay a selection left.
  void Arm();
  // Polls, shows the icon, hides the preview window: armed with the hot key
  // and tooltip of the last Arm.
  void GoToTray();
  // Stops polling, shows the preview window in front, takes the icon away.
  // Beside a selection, the frozen screen is the window that comes to the
  // front as it shows: the preview goes above it inactive.
  enum class Front { Preview, Overlay };
  void ShowPreview(Front front = Front::Preview);
  void Quit();
  bool OnTrayEvent(LPARAM event);
  // The icon in the tray while armed: added again when the shell starts
  // again, tried again every second while the shell takes none.
  void KeepIconInTray();
  void OnShellStarted();

  // One poll of the hot key; while it is held and captures are
  // auto-recorded, a burst.
  void PollHotKey();
  // One capture and what follows it; true when it was auto-recorded.
  bool CaptureOnce(CapturePlace place);
  void OnSelection(std::shared_ptr<const Picture> capture);

  // Log-off or shutdown: no capture after the one under way, every file
  // queued written whole, the clipboard given its due, the program ended.
  void EndSession();

  void OnPreferencesSaved();
  void OnPreferencesClosed();

  Application application_;
  PreviewWindow preview_;
  SelectionOverlay overlay_;
  PreferencesWindow preferences_;
  AboutWindow about_;
  TrayIcon trayIcon_;
  Capturer capturer_;
  // What auto-record does, read after every capture; kept while the file
  // stays as it was.
  settings::StampedReads captureSettings_;

  unsigned char hotKeyCode_ = 0;  // the one key polled; set by Arm
  bool inTray_ = false;           // armed
  bool selectionActive_ = false;  // the last capture showed the overlay
  bool inBurst_ = false;
  bool sessionEnding_ = false;
};

// Start-up: one program at a time, the title, the windows, the message loop;
// the program's exit code.
int RunVistrel(TrayIcon::Notifier notifyIcon = &Shell_NotifyIconW);

}  // namespace vistrel
