#include "overlay/selection_overlay_win.h"

#include <algorithm>
#include <string>

#include "toolkit/application_win.h"
#include "toolkit/foreground_win.h"

namespace vistrel {

namespace {
constexpr int kPictureId = 1;
constexpr UINT kShowOverlay = WM_APP + 1;
// While Shift or Ctrl is still down after the press, the keyboard is taken a
// moment later, for five seconds at most (a click gives it too).
constexpr UINT_PTR kTakeKeyboardTimer = 1;
constexpr UINT kTakeKeyboardIntervalMs = 50;
constexpr int kTakeKeyboardTries = 100;
}  // namespace

SelectionOverlay::SelectionOverlay() : pictureControl_(PictureControl::Mode::AtOwnSize) {}

void SelectionOverlay::Create(Application& app, OverlayEvents events) {
  events_ = std::move(events);
  RegisterWindowClass("TForm4", GetSysColorBrush(COLOR_BTNFACE), nullptr);
  const Rect screen = PrimaryScreen();
  CreateForm(app, "TForm4", "Form4", WS_POPUP, WS_EX_TOPMOST, 0, 0, screen.Width(),
             screen.Height());
  pictureControl_.Create(Handle(), kPictureId, RECT{0, 0, screen.Width(), screen.Height()},
                         CursorFor(CursorKind::Cross));
  pictureControl_.SetPicture(&frozenScreen_);
  pictureControl_.onMouseDown = [this](const PictureControl::MouseEvent& e) { OnPress(e); };
  pictureControl_.onMouseMove = [this](const PictureControl::MouseEvent& e) { OnMove(e); };
  pictureControl_.onMouseUp = [this](const PictureControl::MouseEvent&) { OnRelease(); };
}

void SelectionOverlay::FreezeScreen() { frozenScreen_.CopyFromScreen(PrimaryScreen()); }

void SelectionOverlay::Show() {
  // The screen may have changed size since start-up; picture, window and
  // screen pixels must stay the same points.
  const Rect screen = PrimaryScreen();
  SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, screen.Width(), screen.Height(), SWP_NOACTIVATE);
  pictureControl_.Refresh();
  // The capture brings the preview window back right after this, and taking
  // the tray icon away there can hold the thread for a while (Wine without a
  // window manager waits up to 2 s for its emptied tray to hide). The frozen
  // screen comes up once that is over, so a drag begun the moment it shows is
  // handled as it happens rather than queued behind the wait.
  showPending_ = true;
  PostMessageW(Handle(), kShowOverlay, 0, 0);
}

void SelectionOverlay::Hide() {
  showPending_ = false;
  KillTimer(Handle(), kTakeKeyboardTimer);
  Form::Hide();
}

void SelectionOverlay::ShowNow() {
  if (!showPending_) return;
  showPending_ = false;
  // Activation takes the frame-free copy too, but a window that is already
  // active gets no new activation: take it here as well.
  TakeFrameFreeCopy();
  Form::Show();
  // The frozen screen is the active window, as a window just opened is.
  keyboardTries_ = 0;
  TakeKeyboard();
  events_.onRaisePreview();
}

// The hot key is polled, so its press went to the application in front,
// which keeps the keyboard unless the frozen screen is given the foreground:
// Alt+F4, meant to back out of the selection, would close the application.
void SelectionOverlay::TakeKeyboard() {
  SystemForeground foreground(Handle());
  if (Visible() && TakeForeground(foreground) == Foreground::WaitForModifiers &&
      ++keyboardTries_ < kTakeKeyboardTries)
    SetTimer(Handle(), kTakeKeyboardTimer, kTakeKeyboardIntervalMs, nullptr);
  else
    KillTimer(Handle(), kTakeKeyboardTimer);
}

// The copy that erases the frame: taken whenever the overlay is shown or
// becomes active, so it never holds a frame (every release erases it).
void SelectionOverlay::TakeFrameFreeCopy() {
  if (frozenScreen_.Empty()) frozenScreen_.NewBitmap(0, 0);
  frameFreeCopy_.CopyFrom(frozenScreen_);
}

void SelectionOverlay::OnPress(const PictureControl::MouseEvent& event) {
  // The preview lies above the overlay during the drag.
  events_.onRaisePreview();
  selection_.Press({event.x, event.y}, events_.readMargin());
  EraseFrame();
}

void SelectionOverlay::OnMove(const PictureControl::MouseEvent& event) {
  if (!(event.keys & MK_LBUTTON)) return;
  EraseFrame();
  if (selection_.Move({event.x, event.y})) DrawFrame();
}

void SelectionOverlay::OnRelease() {
  const Rect area = selection_.CaptureArea();
  auto capture = std::make_shared<Picture>();
  // Paint the last frame now, so the copy holds what the user saw.
  pictureControl_.PaintNow();
  capture->CopyFromScreen(area);
  EraseFrame();
  events_.onSelected(std::move(capture));
}

void SelectionOverlay::EraseFrame() {
  const Rect area = ClipToPicture(selection_.SelectionRect,
                                  std::min(frozenScreen_.Width(), frameFreeCopy_.Width()),
                                  std::min(frozenScreen_.Height(), frameFreeCopy_.Height()));
  if (area == Rect{} || !frozenScreen_.Bitmap() || !frameFreeCopy_.Bitmap()) return;
  {
    PictureDC from(frameFreeCopy_), to(frozenScreen_);
    BitBlt(to.Get(), area.left, area.top, area.Width(), area.Height(), from.Get(), area.left,
           area.top, SRCCOPY);
  }
  Repaint(area);
}

void SelectionOverlay::DrawFrame() {
  if (!frozenScreen_.Bitmap()) return;
  PictureDC dc(frozenScreen_);
  for (const Rect& line : FrameLines(selection_.SelectionRect)) {
    const Rect area = ClipToPicture(line, frozenScreen_.Width(), frozenScreen_.Height());
    if (area == Rect{}) continue;
    PatBlt(dc.Get(), area.left, area.top, area.Width(), area.Height(), WHITENESS);
    Repaint(area);
  }
}

// The picture already holds the change; only that part of the screen is redrawn.
void SelectionOverlay::Repaint(const Rect& area) {
  const RECT r = {area.left, area.top, area.right, area.bottom};
  InvalidateRect(pictureControl_.Handle(), &r, FALSE);
}

LRESULT SelectionOverlay::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      TakeFrameFreeCopy();
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) {
        TakeFrameFreeCopy();
        // A window manager raises the window it activates: the preview goes
        // above again.
        events_.onRaisePreview();
      }
      break;
    case kShowOverlay:
      ShowNow();
      return 0;
    case WM_TIMER:
      if (wParam == kTakeKeyboardTimer) {
        TakeKeyboard();
        return 0;
      }
      break;
    case WM_CLOSE:
      // Closed by the system (Alt+F4): hidden, to come back at the next selection.
      Hide();
      return 0;
    case WM_SIZE:
      if (pictureControl_.Handle())
        MoveWindow(pictureControl_.Handle(), 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
      return 0;
  }
  return Form::OnMessage(message, wParam, lParam);
}

}  // namespace vistrel
