#include "overlay/overlay_window_win.h"

#include <algorithm>
#include <memory>
#include <string>

#include "app/preview_window_win.h"
#include "settings/config_file_win.h"
#include "settings/settings.h"

namespace vistrel {

TForm4* Form4 = nullptr;

namespace {
constexpr int kImage2Id = 1;
constexpr UINT kShowOverlay = WM_APP + 1;
}  // namespace

TForm4::TForm4() : Image2(PictureControl::Mode::AtOwnSize) {}

void TForm4::Create() {
  RegisterClass("TForm4", GetSysColorBrush(COLOR_BTNFACE), nullptr);
  const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  CreateForm("TForm4", "Form4", WS_POPUP, WS_EX_TOPMOST, 0, 0, width, height);
  Image2.Create(Handle(), kImage2Id, RECT{0, 0, width, height}, CursorFor(CursorKind::Cross));
  Image2.Show(&OverlayPicture);
  Image2.onMouseDown = [this](const PictureControl::MouseEvent& e) { Image2MouseDown(e); };
  Image2.onMouseMove = [this](const PictureControl::MouseEvent& e) { Image2MouseMove(e); };
  Image2.onMouseUp = [this](const PictureControl::MouseEvent& e) { Image2MouseUp(e); };
}

void TForm4::Show() {
  // The screen may have changed size since start-up; picture, window and
  // screen pixels must stay the same points.
  SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, GetSystemMetrics(SM_CXSCREEN),
               GetSystemMetrics(SM_CYSCREEN), SWP_NOACTIVATE);
  Image2.Refresh();
  // The capture brings the preview window back right after this, and taking
  // the tray icon away there can hold the thread for a while (Wine without a
  // window manager waits up to 2 s for its emptied tray to hide). The frozen
  // screen comes up once that is over, so a drag begun the moment it shows is
  // handled as it happens rather than queued behind the wait.
  showPending_ = true;
  PostMessageA(Handle(), kShowOverlay, 0, 0);
}

void TForm4::Hide() {
  showPending_ = false;
  Form::Hide();
}

void TForm4::ShowNow() {
  if (!showPending_) return;
  showPending_ = false;
  // Activation refreshes SavedScreen too, but a window that is already
  // active gets no new activation: take the copy here as well.
  FormCreate();
  Form::Show();
  // The preview lies above the overlay. HWND_TOPMOST rather than HWND_TOP:
  // both windows are topmost anyway, and on Wine only this request restacks
  // the preview's X window.
  if (Form1->Visible())
    SetWindowPos(Form1->Handle(), HWND_TOPMOST, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// Takes the frame-free copy used to erase the frame.
void TForm4::FormCreate() {
  if (OverlayPicture.Empty()) OverlayPicture.NewBitmap(0, 0);
  SavedScreen.CopyFrom(OverlayPicture);
}

void TForm4::Image2MouseDown(const PictureControl::MouseEvent& event) {
  // The preview lies above the overlay during the drag.
  SetWindowPos(Form1->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
  const std::string bordBlanc = settings::Read(SettingsFile(), settings::Key::BordBlanc, {});
  selection_.Press({event.x, event.y}, MarginFor(bordBlanc));
  EraseFrame();
}

void TForm4::Image2MouseMove(const PictureControl::MouseEvent& event) {
  if (!(event.keys & MK_LBUTTON)) return;
  EraseFrame();
  if (selection_.Move({event.x, event.y})) DrawFrame();
}

void TForm4::Image2MouseUp(const PictureControl::MouseEvent&) {
  const Rect area = selection_.CaptureArea();
  std::shared_ptr<Picture> capture = Form1->CapturePictures.Take(area.Width(), area.Height());
  // Paint the last frame now, so the copy holds what the user saw.
  UpdateWindow(Image2.Handle());
  capture->CopyFromScreen(area);
  EraseFrame();
  // Before the clipboard step, so the preview shows the new image even when
  // the clipboard cannot be opened.
  Form1->SetPreview(capture);
  Form1->Clipboard.Put(capture);
  Form1->Clipboard.Render();
}

void TForm4::EraseFrame() {
  const Rect area =
      ClipToPicture(selection_.SelectionRect, std::min(OverlayPicture.Width(), SavedScreen.Width()),
                    std::min(OverlayPicture.Height(), SavedScreen.Height()));
  if (area == Rect{} || !OverlayPicture.Bitmap() || !SavedScreen.Bitmap()) return;
  {
    PictureDC from(SavedScreen), to(OverlayPicture);
    BitBlt(to.Get(), area.left, area.top, area.Width(), area.Height(), from.Get(), area.left,
           area.top, SRCCOPY);
  }
  Repaint(area);
}

void TForm4::DrawFrame() {
  if (!OverlayPicture.Bitmap()) return;
  PictureDC dc(OverlayPicture);
  for (const Rect& line : FrameLines(selection_.SelectionRect)) {
    const Rect area = ClipToPicture(line, OverlayPicture.Width(), OverlayPicture.Height());
    if (area == Rect{}) continue;
    PatBlt(dc.Get(), area.left, area.top, area.Width(), area.Height(), WHITENESS);
    Repaint(area);
  }
}

// The picture already holds the change; only that part of the screen is redrawn.
void TForm4::Repaint(const Rect& area) {
  const RECT r = {area.left, area.top, area.right, area.bottom};
  InvalidateRect(Image2.Handle(), &r, FALSE);
}

LRESULT TForm4::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      FormCreate();
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) FormCreate();
      break;
    case kShowOverlay:
      ShowNow();
      return 0;
    case WM_SIZE:
      if (Image2.Handle()) MoveWindow(Image2.Handle(), 0, 0, LOWORD(lParam), HIWORD(lParam), TRUE);
      return 0;
  }
  return Form::OnMessage(message, wParam, lParam);
}

}  // namespace vistrel
