#include "capture/capture_win.h"

#include "capture/window_frame_win.h"
#include "toolkit/error.h"
#include "toolkit/messages.h"

namespace vistrel {

namespace {

int VirtualKey(Modifier modifier) {
  switch (modifier) {
    case Modifier::Alt:
      return VK_MENU;
    case Modifier::Ctrl:
      return VK_CONTROL;
    case Modifier::Shift:
      return VK_SHIFT;
  }
  return 0;
}

}  // namespace

void Capturer::Create() { clipboard_.Create(); }

CaptureMode Capturer::ChooseMode() const {
  return ChooseCaptureMode(
      [](Modifier modifier) { return GetAsyncKeyState(VirtualKey(modifier)) != 0; });
}

std::shared_ptr<const Picture> Capturer::Grab(CaptureMode mode) {
  RECT r = {};
  HWND foreground = nullptr;
  switch (mode) {
    case CaptureMode::WindowAndFrame:
      r = VisibleFrame(GetForegroundWindow());
      break;
    case CaptureMode::WindowContent:
      foreground = GetForegroundWindow();
      GetClientRect(foreground, &r);
      break;
    case CaptureMode::FullScreen:
    case CaptureMode::MouseSelection: {
      const Rect screen = PrimaryScreen();
      r = {screen.left, screen.top, screen.right, screen.bottom};
      break;
    }
  }
  std::shared_ptr<Picture> picture = pictures_.Take(r.right - r.left, r.bottom - r.top);
  if (mode == CaptureMode::WindowContent)
    picture->CopyFromWindow(foreground, r.right - r.left, r.bottom - r.top);
  else
    picture->CopyFromScreen({r.left, r.top, r.right, r.bottom});
  return picture;
}

void Capturer::PutOnClipboard(std::shared_ptr<const Picture> capture, ClipboardBitmap when) {
  // The first capture of a press is the one the user took; the rest of a
  // burst, but for its last, is no content for the clipboard's history.
  clipboard_.Put(std::move(capture),
                 when == ClipboardBitmap::AtOnce ? ClipboardHistory::Keep : ClipboardHistory::Skip);
  if (when == ClipboardBitmap::AtOnce) clipboard_.Render();
}

void Capturer::Record(std::shared_ptr<const Picture> capture,
                      const settings::AutoRecordPlan& plan) {
  recorder_.Record(std::move(capture), plan);
}

void Capturer::EndBurst() {
  recorder_.WaitForWrites();
  clipboardMissed_ = !clipboard_.EndBurst();
  clipboard_.Render();
  pictures_.Trim();
}

void Capturer::RaiseClipboardFailure() {
  if (!clipboardMissed_) return;
  clipboardMissed_ = false;
  throw Error(messages::ClipboardCannotOpen());
}

}  // namespace vistrel
