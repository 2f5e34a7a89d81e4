#pragma once
#include <windows.h>

#include <memory>

#include "capture/autorec_win.h"
#include "capture/capture_mode.h"
#include "capture/clipboard_win.h"
#include "capture/picture_pool_win.h"
#include "settings/settings.h"
#include "toolkit/picture_win.h"

namespace vistrel {

// The capture engine: the mode the modifiers choose, the screen grabbed into
// pictures it uses again, the clipboard, the auto-record folder. It knows no
// window of the program; what a capture leads to is its caller's.
class Capturer {
 public:
  void Create();

  // The first modifier found pressed chooses the mode; each is queried once
  // at most, in order (the query consumes its "pressed since" bit).
  CaptureMode ChooseMode() const;
  // Grabs the area of a mode other than the selection: the whole screen, the
  // foreground window with its frame, or its client area.
  std::shared_ptr<const Picture> Grab(CaptureMode mode);

  // Replaces the clipboard's contents with the capture; its bitmap is made at
  // once, or only when a reader asks for it (the rest of a burst).
  void PutOnClipboard(std::shared_ptr<const Picture> capture, ClipboardBitmap when);
  // Names the capture and queues its file.
  void Record(std::shared_ptr<const Picture> capture, const settings::AutoRecordPlan& plan);
  // A queued file could not be written: a burst ends.
  bool RecordFailed() const { return recorder_.Failed(); }
  // Raises the first failure of a queued file not yet reported.
  void RaiseRecordFailure() { recorder_.RaiseFailure(); }
  // Raises the clipboard's error when the last burst's last capture could
  // not be put there.
  void RaiseClipboardFailure();
  // The end of a burst: every queued file written, the clipboard's bitmap
  // made, the pictures nobody holds let go.
  void EndBurst();
  // The program's end: the last capture is made into the clipboard's own
  // bitmap, so that it stays there.
  void Close() { clipboard_.Destroy(); }

 private:
  PicturePool pictures_;
  CaptureClipboard clipboard_;
  AutoRecorder recorder_;
  bool clipboardMissed_ = false;
};

}  // namespace vistrel
