#pragma once
#include <windows.h>

#include <functional>
#include <memory>

#include "app/drag.h"
#include "toolkit/form_win.h"
#include "toolkit/picture_win.h"

namespace vistrel {

// What the preview window's buttons, menus, timer and tray icon ask of the
// program.
struct PreviewEvents {
  std::function<void()> onArm;         // "Run" and "-"
  std::function<void()> onSettings;    // "Set"
  std::function<void()> onQuit;        // "x", "Close...", the system's close
  std::function<void()> onRestore;     // "Restore" in the tray menu
  std::function<void()> onTrayConfig;  // "Config" in the tray menu
  std::function<void()> onPollTick;    // every 100 ms while polling
  std::function<void()> onTrayRetry;   // every second while the tray took no icon
  // The tray icon's mouse event (its number in the low word); false when the
  // program cannot take it up now: it comes again later.
  std::function<bool(LPARAM)> onTrayEvent;
  // The quality "Save as..." writes a JPEG file at, read at every save.
  std::function<int()> readJpegQuality;
};

// The floating preview window (window class "TForm1"): the last capture in a
// translucent, borderless, always-on-top window, dragged by its picture, with
// five buttons on a see-through strip. It carries the polling timer, and the
// tray icon is registered on it.
class PreviewWindow : public Form {
 public:
  void Create(Application& app, PreviewEvents events);
  // Centred the first time, afterwards where it was left.
  void Show() override;
  // The same, leaving the active window as it is.
  void ShowInactive();

  // The picture shown; null while the preview is empty.
  void SetPicture(std::shared_ptr<const Picture> picture);

  void StartPolling();
  void StopPolling();
  void StartTrayRetries();
  void StopTrayRetries();
  // Forgets a drag under way.
  void ResetDrag() { drag_ = {}; }
  // The tray menu at the cursor, returning when it closes.
  void OpenTrayMenu();
  // Above the other topmost windows (the selection overlay), leaving the
  // active window as it is.
  void BringToTop();
  HICON Icon() const { return icon_.get(); }

 protected:
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void OnCommand(int id);
  void StartDrag();
  void DragToCursor();
  void EndDrag();
  void PlaceAtFirstShow();
  void OpenFormatMenu();
  // The picture shown, or an empty one before the first capture.
  const Picture& PictureToSave() const;

  PreviewEvents events_;
  std::shared_ptr<const Picture> picture_;
  PictureControl pictureControl_{PictureControl::Mode::Fit};
  OwnedMenu formatMenu_;
  OwnedMenu trayMenu_;
  OwnedIcon icon_;
  OwnedBrush stripBrush_;
  bool shownOnce_ = false;
  DragState drag_;
};

}  // namespace vistrel
