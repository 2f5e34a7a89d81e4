#include "capture/capture_win.h"

#include <windows.h>

#include <memory>

#include "app/preview_window_win.h"
#include "capture/capture_mode.h"
#include "settings/config_file_win.h"
#include "settings/settings.h"
#include "overlay/overlay_window_win.h"
#include "toolkit/picture_win.h"

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

std::shared_ptr<const Picture> GrabScreenArea(const Rect& area) {
  std::shared_ptr<Picture> picture = Form1->CapturePictures.Take(area.Width(), area.Height());
  picture->CopyFromScreen(area);
  return picture;
}

std::shared_ptr<const Picture> GrabWindowAndFrame() {
  // Taken as the platform gives it: a maximised window's frame may start
  // above and left of the screen. No foreground window leaves it all zero.
  RECT r = {};
  GetWindowRect(GetForegroundWindow(), &r);
  return GrabScreenArea({r.left, r.top, r.right, r.bottom});
}

std::shared_ptr<const Picture> GrabWindowContent() {
  HWND window = GetForegroundWindow();
  RECT r = {};
  GetClientRect(window, &r);
  std::shared_ptr<Picture> picture =
      Form1->CapturePictures.Take(r.right - r.left, r.bottom - r.top);
  picture->CopyFromWindow(window, r.right - r.left, r.bottom - r.top);
  return picture;
}

Rect PrimaryScreen() {
  return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

}  // namespace

bool CaptureScreen(ClipboardBitmap clipboardBitmap) {
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
      Form4->OverlayPicture.CopyFromScreen(PrimaryScreen());
      Form1->SelectionActive = true;
      break;
    case CaptureMode::FullScreen:
      capture = GrabScreenArea(PrimaryScreen());
      break;
  }
  if (capture) {
    Form1->SetPreview(capture);
    Form1->Clipboard.Put(capture);
    if (clipboardBitmap == ClipboardBitmap::AtOnce) Form1->Clipboard.Render();
  }

  settings::AutoRecord settings;
  {
    SettingsFile file;
    settings = settings::ReadAutoRecord(file, DefaultSaveFolder);
  }
  switch (DecideAfterCapture(Form1->SelectionActive, settings.On())) {
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
