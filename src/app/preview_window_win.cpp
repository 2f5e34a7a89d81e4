#include "app/preview_window_win.h"

#include <cstring>
#include <string>

#include "app/preview_layout.h"
#include "capture/capture_win.h"
#include "imageio/save_as_win.h"
#include "settings/preferences_window_win.h"
#include "toolkit/application_win.h"
#include "toolkit/error.h"
#include "toolkit/error_display_win.h"

namespace vistrel {

TForm1* Form1 = nullptr;
unsigned char HotKeyCode = 0;

namespace {
constexpr UINT_PTR kTimer1 = 1;
constexpr UINT kTimer1Interval = 100;
constexpr COLORREF kKeyColour = RGB(preview::kKeyRed, preview::kKeyGreen, preview::kKeyBlue);

POINT CursorPos() {
  POINT p = {};
  GetCursorPos(&p);
  return p;
}
}  // namespace

TForm1::TForm1() = default;

void TForm1::Create() {
  RegisterClass("TForm1", static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)), nullptr);
  icon_ = static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(1), IMAGE_ICON,
                                        GetSystemMetrics(SM_CXSMICON),
                                        GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR));
  stripBrush_ = CreateSolidBrush(kKeyColour);
  PopupMenu1 = CreatePopupMenu();
  AppendMenuA(PopupMenu1, MF_STRING, preview::kBMP1, "*.BMP");
  AppendMenuA(PopupMenu1, MF_STRING, preview::kJPG1, "*.JPG");
  PopupMenu2 = CreatePopupMenu();
  AppendMenuA(PopupMenu2, MF_STRING, preview::kRestore1, "Restore");
  AppendMenuA(PopupMenu2, MF_STRING, preview::kConfig1, "Config");
  AppendMenuA(PopupMenu2, MF_STRING, preview::kClose1, "Close...");
  // Borderless, so the window is its client area. Made where its first show
  // will put it, so the window system never sees it anywhere else.
  const Point centre = CentreOfScreen();
  CreateForm("TForm1", preview::kWindowText, WS_POPUP, WS_EX_TOPMOST | WS_EX_LAYERED, centre.x,
             centre.y, Scaled(preview::kWidth), Scaled(preview::kHeight));
}

Point TForm1::CentreOfScreen() {
  return preview::CentredPosition(GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN),
                                  ScreenDpi());
}

void TForm1::Show() {
  if (!shownOnce_) {
    // Centred on the screen as it is now; from then on where it was left.
    const Point centre = CentreOfScreen();
    const Rect r = ScreenRect();
    if (r.left != centre.x || r.top != centre.y) SetPosition(centre.x, centre.y);
    shownOnce_ = true;
  }
  Form::Show();
}

void TForm1::SetPreview(std::shared_ptr<const Picture> picture) {
  PreviewPicture = std::move(picture);
  Image1.Show(PreviewPicture.get());
}

void TForm1::Quit() {
  // The last capture stays on the clipboard once the program has gone.
  Clipboard.Render();
  NotifyIcon(NIM_DELETE);
  iconRegistered_ = false;
  Application::Terminate();
}

void TForm1::attrape() {
  const Rect r = ScreenRect();
  const POINT cursor = CursorPos();
  Grab(DragState, {r.left, r.top}, {cursor.x, cursor.y});
}

void TForm1::bouge() {
  const POINT cursor = CursorPos();
  if (auto target = DragTarget(DragState, {cursor.x, cursor.y})) SetPosition(target->x, target->y);
}

void TForm1::lache() { Release(DragState); }

void TForm1::SaveAs() {
  const Rect r = ScreenRect();
  const Point at = preview::FormatMenuPosition({r.left, r.top}, ScreenDpi());
  TrackPopupMenu(PopupMenu1, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_LEFTBUTTON, at.x, at.y, 0, Handle(),
                 nullptr);
}

void TForm1::SaveAsBMP() {
  const Picture empty;
  vistrel::SaveAsBMP(Handle(), PreviewPicture ? *PreviewPicture : empty);
}

void TForm1::SaveAsJPG() {
  const Picture empty;
  vistrel::SaveAsJPG(Handle(), PreviewPicture ? *PreviewPicture : empty);
}

// A failed capture's error box runs its own message loop, which still
// delivers ticks: polling pauses while it is open, so a key held down over a
// repeating failure shows one box at a time instead of nesting them.
void TForm1::CheckKey() {
  if (ErrorBoxOpen()) return;
  // A file of the last burst that could not be written, when that burst
  // ended on an error of its own.
  AutoRecord.RaiseFailure();
  {
    struct BurstEnd {
      TForm1* form;
      ~BurstEnd() { form->EndBurst(); }
    } burstEnd{this};
    inBurst_ = true;
    for (auto bitmap = ClipboardBitmap::AtOnce; GetAsyncKeyState(HotKeyCode) != 0;
         bitmap = ClipboardBitmap::WhenAsked) {
      // Only an auto-recorded capture polls again at once; the others restore
      // the preview window, which stops the timer.
      if (!CaptureScreen(bitmap)) break;
      // A clipboard reader may be waiting for this thread to render.
      Application::AnswerSentMessages();
      if (AutoRecord.Failed()) break;
    }
  }
  AutoRecord.RaiseFailure();
}

// On every way out of a burst, a failed capture included: the captures taken
// are all written before the poll goes on, the last one is rendered onto the
// clipboard (so it outlives the program), and the pictures no longer held are
// let go.
void TForm1::EndBurst() {
  AutoRecord.WaitForWrites();
  Clipboard.Render();
  CapturePictures.Trim();
  inBurst_ = false;
}

void TForm1::Params() {
  Hide();
  Form2->Show();
}

void TForm1::StartTimer() { SetTimer(Handle(), kTimer1, kTimer1Interval, nullptr); }
void TForm1::StopTimer() { KillTimer(Handle(), kTimer1); }

void TForm1::OnCommand(int id) {
  switch (id) {
    case preview::kButton1:
    case preview::kButton5:
      Run();
      break;
    case preview::kButton2:
      SaveAs();
      break;
    case preview::kButton3:
      Params();
      break;
    case preview::kButton4:
    case preview::kClose1:
      Quit();
      break;
    case preview::kBMP1:
      SaveAsBMP();
      break;
    case preview::kJPG1:
      SaveAsJPG();
      break;
    case preview::kRestore1:
      Restore();
      break;
    case preview::kConfig1:
      ParamsFromTray();
      break;
  }
}

LRESULT TForm1::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE: {
      SetLayeredWindowAttributes(Handle(), kKeyColour, preview::kAlpha, LWA_ALPHA | LWA_COLORKEY);
      BuildControls(preview::kLayout, preview::kFont);
      // The strip is drawn over by the buttons that lie on it.
      HWND strip = Control(preview::kActionToolBar1);
      SetWindowLongPtrA(strip, GWL_STYLE, GetWindowLongPtrA(strip, GWL_STYLE) | WS_CLIPSIBLINGS);
      const LayoutEntry& image = preview::kLayout[0];
      Image1.Create(Handle(), image.id, LayoutRect(preview::kLayout, image),
                    CursorFor(image.cursor));
      Image1.onMouseDown = [this](const PictureControl::MouseEvent&) { attrape(); };
      Image1.onMouseMove = [this](const PictureControl::MouseEvent&) { bouge(); };
      Image1.onMouseUp = [this](const PictureControl::MouseEvent&) { lache(); };
      Clipboard.SetOwner(Handle());
      Run();
      return 0;
    }
    case WM_CTLCOLORSTATIC:
      if (reinterpret_cast<HWND>(lParam) == Control(preview::kActionToolBar1))
        return reinterpret_cast<LRESULT>(stripBrush_);
      break;
    case WM_COMMAND:
      // Button clicks and menu entries alike (both notify with code 0).
      if (HIWORD(wParam) == BN_CLICKED) OnCommand(LOWORD(wParam));
      return 0;
    case WM_TIMER:
      if (wParam == kTimer1) CheckKey();
      return 0;
    case WM_RENDERFORMAT:
      Clipboard.OnRenderFormat(static_cast<UINT>(wParam));
      return 0;
    case WM_RENDERALLFORMATS:
      Clipboard.OnRenderAllFormats();
      return 0;
    case WM_DESTROYCLIPBOARD:
      Clipboard.OnDestroyClipboard();
      return 0;
    case WM_MOUSEMOVE:
      // Also the tray icon's callback message, which the shell sends. During
      // a burst only the clipboard's requests are answered: a click on the
      // icon is taken up once the burst is over.
      if (inBurst_) {
        PostMessageA(Handle(), message, wParam, lParam);
        return 0;
      }
      MouseOverTray(lParam);
      return 0;
    case WM_CLOSE:
      // The system's close command on the main window ends the program; the
      // icon goes too, so none is left behind for a dead process.
      Quit();
      return 0;
#ifdef VISTREL_TEST_HOOKS
    case WM_COPYDATA: {
      // Test build only: raise the error a test asks for, to show the error box.
      const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
      if (data && data->dwData == 0x7E57 && data->lpData)
        throw Error(std::string(static_cast<const char*>(data->lpData),
                                strnlen(static_cast<const char*>(data->lpData), data->cbData)));
      break;
    }
#endif
  }
  return Form::OnMessage(message, wParam, lParam);
}

}  // namespace vistrel
