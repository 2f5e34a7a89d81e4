#pragma once
#include <windows.h>

#include <memory>

#include "app/drag.h"
#include "capture/autorec_win.h"
#include "capture/clipboard_win.h"
#include "capture/picture_pool_win.h"
#include "toolkit/form_win.h"
#include "toolkit/picture_win.h"

namespace vistrel {

// The tray icon's registration: NOTIFYICONDATAA in its first, shortest form
// (88 bytes in the 32-bit build).
struct TrayIconRecordV1 {
  DWORD cbSize;
  HWND hWnd;
  UINT uID;
  UINT uFlags;
  UINT uCallbackMessage;
  HICON hIcon;
  CHAR szTip[64];
};

// The floating preview window: shows the last capture, arms the program in
// the tray and polls the hot key.
class TForm1 : public Form {
 public:
  TForm1();
  void Create();

  // The last capture; null while the preview is empty.
  std::shared_ptr<const Picture> PreviewPicture;
  bool InTray = false;
  bool SelectionActive = false;

  // Where captures are taken from, how they reach the clipboard and the
  // auto-record folder.
  PicturePool CapturePictures;
  CaptureClipboard Clipboard;
  AutoRecorder AutoRecord;

  // Centred the first time, afterwards where it was left.
  void Show() override;
  // Shows this capture (null: nothing) in the picture.
  void SetPreview(std::shared_ptr<const Picture> picture);

  // Arms the program: reads the hot key, registers the tray icon, polls.
  void Run();
  void MinimizeToTray();
  void RestoreMainForm();

 protected:
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void Quit();
  void attrape();
  void bouge();
  void lache();
  void MouseOverTray(LPARAM lParam);
  void SaveAs();
  void SaveAsBMP();
  void SaveAsJPG();
  void CheckKey();
  void EndBurst();
  void Params();
  void ParamsFromTray();
  void Restore();

  static Point CentreOfScreen();
  void OnCommand(int id);
  void StartTimer();
  void StopTimer();
  bool NotifyIcon(DWORD action);

  PictureControl Image1{PictureControl::Mode::Fit};
  HMENU PopupMenu1 = nullptr;
  HMENU PopupMenu2 = nullptr;
  HICON icon_ = nullptr;
  HBRUSH stripBrush_ = nullptr;
  bool shownOnce_ = false;
  bool inBurst_ = false;
  bool iconRegistered_ = false;  // the last add succeeded and no delete followed
  vistrel::DragState DragState;
  TrayIconRecordV1 TrayIconRecord = {};
};

extern TForm1* Form1;

// The one key polled while armed; set by Run, read by CheckKey.
extern unsigned char HotKeyCode;

}  // namespace vistrel
