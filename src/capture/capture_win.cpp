#include "capture/capture_win.h"

#include <windows.h>

#include <memory>

#include "app/preview_window_win.h"
#include "capture/capture_mode.h"
#include "overlay/overlay_window_win.h"
#include "toolkit/picture_win.h"

namespace vistrel {

namespace {

int VirtualKey(Modifier modifier) {
  switch (modifier) {
    case Modifier::Alt: return VK_MENU;
    case Modifier::Ctrl: return VK_CONTROL;
    case Modifier::Shift: return VK_SHIFT;
  }
  return 0;
}

// One straight block copy from a window's device context (the desktop
// window's covers the whole screen) into the picture, sized to match. What
// cannot be read stays white.
void CopyFromWindow(Picture& into, HWND source, int x, int y, int width, int height) {
  into.NewBitmap(width, height);
  if (!into.Bitmap()) return;
  {
    WindowDC from(source);
    PictureDC to(into);
    BitBlt(to.Get(), 0, 0, into.Width(), into.Height(), from.Get(), x, y, SRCCOPY);
  }
  // The pixels are read straight from memory, perhaps on another thread.
  GdiFlush();
}

std::shared_ptr<const Picture> Grab(HWND source, int x, int y, int width, int height) {
  std::shared_ptr<Picture> picture = Form1->CapturePictures.Take(width, height);
  CopyFromWindow(*picture, source, x, y, width, height);
  return picture;
}

std::shared_ptr<const Picture> GrabWindowAndFrame() {
  // Taken as the platform gives it: a maximised window's frame may start
  // above and left of the screen. No foreground window leaves it all zero.
  RECT r = {};
  GetWindowRect(GetForegroundWindow(), &r);
  return Grab(GetDesktopWindow(), r.left, r.top, r.right - r.left, r.bottom - r.top);
}

std::shared_ptr<const Picture> GrabWindowContent() {
  HWND window = GetForegroundWindow();
  RECT r = {};
  GetClientRect(window, &r);
  return Grab(window, 0, 0, r.right - r.left, r.bottom - r.top);
}

std::shared_ptr<const Picture> GrabScreen() {
  return Grab(GetDesktopWindow(), 0, 0, GetSystemMetrics(SM_CXSCREEN),
              GetSystemMetrics(SM_CYSCREEN));
}

}  // namespace

bool CaptureScreen() {
  Form1->SetPreview(nullptr);
  Form4->OverlayPicture.Clear();
  Form1->SelectionActive = false;
  const CaptureMode mode = ChooseCaptureMode(
      [](Modifier modifier) { return GetAsyncKeyState(VirtualKey(modifier)) != 0; });
  std::shared_ptr<const Picture> capture;
  switch (mode) {
    case CaptureMode::WindowAndFrame:
      capture = GrabWindowAndFrame();
      break;
    case CaptureMode::WindowContent:
      capture = GrabWindowContent();
      break;
    case CaptureMode::MouseSelection:
      CopyFromWindow(Form4->OverlayPicture, GetDesktopWindow(), 0, 0,
                     GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN));
      Form1->SelectionActive = true;
      break;
    case CaptureMode::FullScreen:
      capture = GrabScreen();
      break;
  }
  if (capture) {
    Form1->SetPreview(capture);
    Form1->Clipboard.Put(capture);
  }

  const AutoRecSettings settings = ReadAutoRecSettings();
  switch (DecideAfterCapture(Form1->SelectionActive, settings.autoRec)) {
    case AfterCapture::ShowOverlay:
      Form4->Show();
      Form1->RestoreMainForm();
      return false;
    case AfterCapture::RestorePreview:
      Form1->RestoreMainForm();
      return false;
    case AfterCapture::AutoRecord:
      Form1->AutoRecord.Record(std::move(capture), settings);
      return true;
  }
  return false;
}

}  // namespace vistrel
