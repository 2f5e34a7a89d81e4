#pragma once
#include <windows.h>

#include <exception>
#include <memory>

#include "capture/autorec_win.h"
#include "capture/capture_mode.h"
#include "capture/clipboard_win.h"
#include "capture/picture_pool_win.h"
#include "settings/settings.h"
#include "toolkit/picture_win.h"

namespace vistrel {

// Captures grabbed from the screen since the program started, selections'
// frozen screens aside: each one of them that is auto-recorded becomes a file.
long CapturesTaken();

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

  // Replaces the clipboard's contents with the capture. Raises the
  // clipboard's error when another program keeps it from a press's capture.
  void PutOnClipboard(std::shared_ptr<const Picture> capture, CapturePlace place);
  // Makes the clipboard's bitmap of the last capture now.
  void RenderClipboard() { clipboard_.RenderNow(); }
  // Names the capture and queues its file.
  void Record(std::shared_ptr<const Picture> capture, const settings::AutoRecordPlan& plan);
  // A queued file could not be written: a burst ends.
  bool RecordFailed() const { return recorder_.Failed(); }
  // The end of a burst, after every tick: every queued file written, the
  // clipboard's bitmap made, the pictures nobody holds let go. Its outcome:
  // the first of its files that could not be written, if any.
  std::exception_ptr EndBurst() noexcept;
  // The program's end: what the clipboard is still owed goes there, so that
  // the last capture stays.
  void Close() {
    clipboard_.End();
    clipboard_.Destroy();
  }
  // The session ends, and the process may be ended as soon as this returns:
  // the files queued are written whole and no other is begun, the clipboard
  // gets what it is owed, within a second or two.
  void EndSession() {
    recorder_.EndSession();
    clipboard_.EndSession();
  }

 private:
  PicturePool pictures_;
  CaptureClipboard clipboard_;
  AutoRecorder recorder_;
};

}  // namespace vistrel
