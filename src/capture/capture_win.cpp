#include "capture/capture_win.h"

#include "capture/window_frame_win.h"

#include <atomic>

namespace vistrel {

namespace {

std::atomic<long> capturesTaken;

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

long CapturesTaken() { return capturesTaken.load(); }

void Capturer::Create() { clipboard_.Create(); }

CaptureMode Capturer::ChooseMode() const {
  return ChooseCaptureMode(
      [](Modifier modifier) { return GetAsyncKeyState(VirtualKey(modifier)) != 0; });
}

std::shared_ptr<const Picture> Capturer::Grab(CaptureMode mode) {
  RECT r = {};
  switch (mode) {
    case CaptureMode::WindowAndFrame:
      r = VisibleFrame(GetForegroundWindow());
      break;
    case CaptureMode::WindowContent:
      // From the screen, as the frame is: a window drawn by the GPU (DirectX,
      // DirectComposition: browsers, Electron, UWP and WinUI applications)
      // leaves its own device context black, and only the compositor's
      // screen holds what it shows. PrintWindow with PW_RENDERFULLCONTENT
      // would have the compositor draw the window anew for each capture and
      // wait on the window's own thread (a busy application stalls a burst);
      // the screen is one read at a burst's pace. The foreground window is on
      // top: only an always-on-top window over it comes into the capture.
      r = ClientArea(GetForegroundWindow());
      break;
    case CaptureMode::FullScreen:
    case CaptureMode::MouseSelection: {
      const Rect screen = PrimaryScreen();
      r = {screen.left, screen.top, screen.right, screen.bottom};
      break;
    }
  }
  std::shared_ptr<Picture> picture = pictures_.Take(r.right - r.left, r.bottom - r.top);
  picture->CopyFromScreen({r.left, r.top, r.right, r.bottom});
  ++capturesTaken;
  return picture;
}

void Capturer::PutOnClipboard(std::shared_ptr<const Picture> capture, CapturePlace place) {
  clipboard_.Put(std::move(capture), place);
}

void Capturer::Record(std::shared_ptr<const Picture> capture,
                      const settings::AutoRecordPlan& plan) {
  recorder_.Record(std::move(capture), plan);
}

std::exception_ptr Capturer::EndBurst() noexcept {
  std::exception_ptr failure = recorder_.WaitForWrites();
  clipboard_.EndBurst();
  pictures_.Trim();
  return failure;
}

}  // namespace vistrel
