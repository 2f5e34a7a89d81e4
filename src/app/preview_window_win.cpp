#include "app/preview_window_win.h"

#include "app/preview_layout.h"
#include "imageio/save_as_win.h"
#include "toolkit/dpi_win.h"

namespace vistrel {

namespace {
constexpr UINT_PTR kPollTimer = 1;
constexpr UINT kPollInterval = 100;
constexpr UINT_PTR kTrayRetryTimer = 2;
constexpr UINT kTrayRetryInterval = 1000;
constexpr int kProgramIcon = 1;  // res/vistrel.rc
constexpr COLORREF kKeyColour = RGB(preview::kKeyRed, preview::kKeyGreen, preview::kKeyBlue);

Point CursorPosition() {
  POINT p = {};
  GetCursorPos(&p);
  return {p.x, p.y};
}

Point CentreOfScreen(int dpi) {
  return preview::CentredPosition(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                  dpi);
}
}  // namespace

void PreviewWindow::Create(Application& app, PreviewEvents events) {
  events_ = std::move(events);
  RegisterWindowClass("TForm1", static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)), nullptr);
  icon_ =
      LoadResourceIcon(kProgramIcon, GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON));
  stripBrush_ = MakeSolidBrush(kKeyColour);
  formatMenu_ = MakePopupMenu();
  AppendMenuW(formatMenu_.get(), MF_STRING, preview::kSaveBmpEntry, L"*.BMP");
  AppendMenuW(formatMenu_.get(), MF_STRING, preview::kSaveJpgEntry, L"*.JPG");
  trayMenu_ = MakePopupMenu();
  AppendMenuW(trayMenu_.get(), MF_STRING, preview::kRestoreEntry, L"Restore");
  AppendMenuW(trayMenu_.get(), MF_STRING, preview::kConfigEntry, L"Config");
  AppendMenuW(trayMenu_.get(), MF_STRING, preview::kCloseEntry, L"Close...");
  // Borderless, so the window is its client area. Made where its first show
  // will put it, so the window system never sees it anywhere else.
  const Point centre = CentreOfScreen(ScreenDpi());
  CreateScaledForm(app, "TForm1", preview::kWindowText, WS_POPUP, WS_EX_TOPMOST | WS_EX_LAYERED,
                   centre.x, centre.y, preview::kWidth, preview::kHeight);
}

void PreviewWindow::PlaceAtFirstShow() {
  if (shownOnce_) return;
  // Centred on the screen as it is now; from then on where it was left.
  const Point centre = CentreOfScreen(Dpi());
  const Rect r = ScreenRect();
  if (r.left != centre.x || r.top != centre.y) SetPosition(centre.x, centre.y);
  shownOnce_ = true;
}

void PreviewWindow::Show() {
  PlaceAtFirstShow();
  Form::Show();
}

void PreviewWindow::ShowInactive() {
  PlaceAtFirstShow();
  ShowNoActivate();
}

void PreviewWindow::SetPicture(std::shared_ptr<const Picture> picture) {
  picture_ = std::move(picture);
  pictureControl_.SetPicture(picture_.get());
}

void PreviewWindow::StartPolling() { SetTimer(Handle(), kPollTimer, kPollInterval, nullptr); }
void PreviewWindow::StopPolling() { KillTimer(Handle(), kPollTimer); }
void PreviewWindow::StartTrayRetries() {
  SetTimer(Handle(), kTrayRetryTimer, kTrayRetryInterval, nullptr);
}
void PreviewWindow::StopTrayRetries() { KillTimer(Handle(), kTrayRetryTimer); }

// A button went down on the picture: the drag is anchored unless it already is.
void PreviewWindow::StartDrag() {
  const Rect r = ScreenRect();
  Grab(drag_, {r.left, r.top}, CursorPosition());
}

// The window follows the cursor's screen position, never the event's own
// coordinates, which move with the window.
void PreviewWindow::DragToCursor() {
  if (auto target = DragTarget(drag_, CursorPosition())) SetPosition(target->x, target->y);
}

void PreviewWindow::EndDrag() { Release(drag_); }

void PreviewWindow::OpenFormatMenu() {
  const Rect r = ScreenRect();
  const Point at = preview::FormatMenuPosition({r.left, r.top}, Dpi());
  TrackPopupMenu(formatMenu_.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, at.x, at.y, 0,
                 Handle(), nullptr);
}

void PreviewWindow::OpenTrayMenu() {
  // Foreground first, and an empty message after, or the menu would not
  // close when the user clicks elsewhere.
  SetForegroundWindow(Handle());
  const Point cursor = CursorPosition();
  drag_.startCursorX = cursor.x;
  drag_.startCursorY = cursor.y;
  TrackPopupMenu(trayMenu_.get(), TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, cursor.x, cursor.y,
                 0, Handle(), nullptr);
  PostMessageW(Handle(), WM_NULL, 0, 0);
}

void PreviewWindow::BringToTop() {
  // HWND_TOPMOST rather than HWND_TOP: both windows are topmost anyway, and
  // on Wine only this request restacks the X window.
  SetWindowPos(Handle(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

const Picture& PreviewWindow::PictureToSave() const {
  static const Picture none;
  return picture_ ? *picture_ : none;
}

void PreviewWindow::OnCommand(int id) {
  switch (id) {
    case preview::kRunButton:
    case preview::kHideButton:
      events_.onArm();
      break;
    case preview::kSaveAsButton:
      OpenFormatMenu();
      break;
    case preview::kSetButton:
      events_.onSettings();
      break;
    case preview::kCloseButton:
    case preview::kCloseEntry:
      events_.onQuit();
      break;
    case preview::kSaveBmpEntry:
      SaveAsBMP(Handle(), PictureToSave());
      break;
    case preview::kSaveJpgEntry:
      SaveAsJPG(Handle(), PictureToSave(), events_.readJpegQuality);
      break;
    case preview::kRestoreEntry:
      events_.onRestore();
      break;
    case preview::kConfigEntry:
      events_.onTrayConfig();
      break;
  }
}

LRESULT PreviewWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: {
      SetLayeredWindowAttributes(Handle(), kKeyColour, preview::kAlpha, LWA_ALPHA | LWA_COLORKEY);
      BuildControls(preview::kLayout, preview::kFont);
      // The strip is drawn over by the buttons that lie on it.
      HWND strip = Control(preview::kStrip);
      SetWindowLongPtrW(strip, GWL_STYLE, GetWindowLongPtrW(strip, GWL_STYLE) | WS_CLIPSIBLINGS);
      const LayoutEntry& picture = *FindEntry(preview::kLayout, preview::kPicture);
      pictureControl_.Create(Handle(), picture.id, LayoutRect(preview::kLayout, picture),
                             CursorFor(picture.cursor));
      pictureControl_.onMouseDown = [this](const PictureControl::MouseEvent&) { StartDrag(); };
      pictureControl_.onMouseMove = [this](const PictureControl::MouseEvent&) { DragToCursor(); };
      pictureControl_.onMouseUp = [this](const PictureControl::MouseEvent&) { EndDrag(); };
      return 0;
    }
    case WM_CTLCOLORSTATIC:
      if (reinterpret_cast<HWND>(lParam) == Control(preview::kStrip))
        return reinterpret_cast<LRESULT>(stripBrush_.get());
      break;
    case WM_COMMAND:
      // Button clicks and menu entries alike (both notify with code 0).
      if (HIWORD(wParam) == BN_CLICKED) OnCommand(LOWORD(wParam));
      return 0;
    case WM_TIMER:
      if (wParam == kPollTimer) events_.onPollTick();
      if (wParam == kTrayRetryTimer) events_.onTrayRetry();
      return 0;
    case WM_MOUSEMOVE:
      // The tray icon's callback message; the window's own mouse moves carry
      // no tray event.
      if (!events_.onTrayEvent(lParam)) PostMessageW(Handle(), message, wParam, lParam);
      return 0;
    case WM_CLOSE:
      // The system's close command on the main window ends the program.
      events_.onQuit();
      return 0;
  }
  return Form::OnMessage(message, wParam, lParam);
}

}  // namespace vistrel
