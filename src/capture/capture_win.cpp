#include "capture/capture_win.h"

#include <windows.h>

#include "app/preview_window_win.h"
#include "capture/autorec_win.h"
#include "capture/capture_mode.h"
#include "capture/clipboard_win.h"
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
// window's covers the whole screen) into a new bitmap of the given size.
void CopyFromWindow(Picture& into, HWND source, int x, int y, int width, int height) {
  into.NewBitmap(width, height);
  WindowDC from(source);
  PictureDC to(into);
  BitBlt(to.Get(), 0, 0, width, height, from.Get(), x, y, SRCCOPY);
}

void CaptureWindowAndFrame() {
  // Taken as the platform gives it: a maximised window's frame may start
  // above and left of the screen. No foreground window leaves it all zero.
  RECT r = {};
  GetWindowRect(GetForegroundWindow(), &r);
  CopyFromWindow(Form1->PreviewPicture, GetDesktopWindow(), r.left, r.top, r.right - r.left,
                 r.bottom - r.top);
}

void CaptureWindowContent() {
  HWND window = GetForegroundWindow();
  RECT r = {};
  GetClientRect(window, &r);
  CopyFromWindow(Form1->PreviewPicture, window, 0, 0, r.right - r.left, r.bottom - r.top);
}

void CaptureWholeScreen(Picture& into) {
  CopyFromWindow(into, GetDesktopWindow(), 0, 0, GetSystemMetrics(SM_CXSCREEN),
                 GetSystemMetrics(SM_CYSCREEN));
}

}  // namespace

bool CaptureScreen() {
  Form1->PreviewPicture.Clear();
  Form4->OverlayPicture.Clear();
  Form1->SelectionActive = false;
  const CaptureMode mode = ChooseCaptureMode(
      [](Modifier modifier) { return GetAsyncKeyState(VirtualKey(modifier)) != 0; });
  switch (mode) {
    case CaptureMode::WindowAndFrame:
      CaptureWindowAndFrame();
      break;
    case CaptureMode::WindowContent:
      CaptureWindowContent();
      break;
    case CaptureMode::MouseSelection:
      CaptureWholeScreen(Form4->OverlayPicture);
      Form1->SelectionActive = true;
      break;
    case CaptureMode::FullScreen:
      CaptureWholeScreen(Form1->PreviewPicture);
      break;
  }
  Form1->RefreshPreview();
  if (mode != CaptureMode::MouseSelection) CopyPreviewToClipboard();

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
      AutoRecord(Form1->PreviewPicture, settings);
      return true;
  }
  return false;
}

}  // namespace vistrel
