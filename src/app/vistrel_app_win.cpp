#include "app/vistrel_app_win.h"

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <string>
#include <vector>

#include "app/single_instance_win.h"
#include "app/tray.h"
#include "capture/hotkeys.h"
#include "settings/config_file_win.h"
#include "settings/settings.h"
#include "toolkit/application_win.h"
#include "toolkit/error_display_win.h"
#include "toolkit/messages.h"
#include "toolkit/system_library_win.h"

namespace vistrel {

VistrelApp::VistrelApp(TrayIcon::Notifier notifyIcon)
    : application_(messages::kApplicationTitle),
      trayIcon_(notifyIcon),
      captureSettings_(SettingsFileStamp, [] { return std::make_unique<SettingsFile>(); }) {}

VistrelApp::~VistrelApp() {
  about_.Destroy();
  preferences_.Destroy();
  overlay_.Destroy();
  preview_.Destroy();
  capturer_.Close();
}

void VistrelApp::Start() {
  capturer_.Create();
  preview_.Create(application_,
                  {
                      .onArm = [this] { Arm(); },
                      .onSettings =
                          [this] {
                            preview_.Hide();
                            preferences_.Show();
                          },
                      .onQuit = [this] { Quit(); },
                      .onRestore = [this] { ShowPreview(); },
                      .onTrayConfig = [this] { preferences_.Show(); },
                      .onPollTick = [this] { PollHotKey(); },
                      .onTrayRetry = [this] { KeepIconInTray(); },
                      .onTrayEvent = [this](LPARAM event) { return OnTrayEvent(event); },
                      .readJpegQuality = [] { return settings::ReadJpegQuality(SettingsFile()); },
                  });
  // The preview window's creation arms the program, before the other
  // windows exist (no selection is active yet).
  Arm();
  overlay_.Create(
      application_,
      {
          .onRaisePreview =
              [this] {
                if (preview_.Visible()) preview_.BringToTop();
              },
          .onSelected = [this](std::shared_ptr<const Picture> capture) { OnSelection(capture); },
          .readMargin = [] { return settings::ReadSelectionMargin(SettingsFile()); },
      });
  std::vector<std::string> keyNames;
  for (const HotKey& key : HotKeyTable) keyNames.emplace_back(key.name);
  preferences_.Create(application_, std::move(keyNames),
                      {
                          .onSaved = [this] { OnPreferencesSaved(); },
                          .onClosed = [this] { OnPreferencesClosed(); },
                          .onAbout = [this] { about_.Show(); },
                      });
  about_.Create(application_, [this] { preferences_.Show(); });
  application_.OnSessionEnd([this] { EndSession(); });
  application_.OnBroadcast("TaskbarCreated", [this](WPARAM) { OnShellStarted(); });
  // A second start gave this program the right to come to the front, and
  // waits for the answer.
  application_.OnBroadcast(SingleInstance::kWakeMessage, [this](WPARAM wake) {
    ShowPreview();
    SingleInstance::Answer(wake);
  });
}

void VistrelApp::Arm() {
  const std::string name = settings::ReadHotKeyName(SettingsFile());
  trayIcon_.Prepare(preview_.Handle(), preview_.Icon(), TrayTip(name));
  application_.OnMinimize([this] { GoToTray(); });
  preview_.ResetDrag();
  hotKeyCode_ = MapHotKey(name);
  if (selectionActive_) {
    overlay_.Hide();
    selectionActive_ = false;
  }
  GoToTray();
}

void VistrelApp::GoToTray() {
  preview_.StartPolling();
  inTray_ = true;
  KeepIconInTray();
  preview_.Hide();
}

void VistrelApp::KeepIconInTray() {
  if (inTray_ && !trayIcon_.Show()) {
    preview_.StartTrayRetries();
    return;
  }
  preview_.StopTrayRetries();
}

void VistrelApp::OnShellStarted() {
  trayIcon_.Forgotten();
  KeepIconInTray();
}

void VistrelApp::ShowPreview(Front front) {
  preview_.StopPolling();
  preview_.StopTrayRetries();
  if (front == Front::Preview) {
    // Drawn before it is activated: activation and the tray icon's removal
    // wait on other programs, and a reader asking for the clipboard's bitmap
    // meanwhile would have it made first, which takes longer than a capture.
    preview_.ShowInactive();
    preview_.PaintNow();
    preview_.Show();
    application_.BringToFront();
  } else {
    preview_.ShowInactive();
  }
  application_.Restore();
  trayIcon_.Remove();
  inTray_ = false;
}

void VistrelApp::Quit() {
  trayIcon_.Remove();
  application_.Terminate();
}

bool VistrelApp::OnTrayEvent(LPARAM event) {
  // During a burst only the clipboard's requests are answered: a click on the
  // icon is taken up once the burst is over.
  if (inBurst_) return false;
  switch (TrayActionFor(event)) {
    case TrayAction::Restore:
      ShowPreview();
      break;
    case TrayAction::OpenMenu:
      preview_.OpenTrayMenu();
      break;
    case TrayAction::None:
      break;
  }
  return true;
}

// A failed capture's error box runs its own message loop, which still
// delivers ticks: polling pauses while it is open, so a key held down over a
// repeating failure shows one box at a time instead of nesting them.
void VistrelApp::PollHotKey() {
  if (ErrorBoxOpen() || sessionEnding_) return;
  std::exception_ptr fileFailure;
  {
    // On every way out of a burst, a failed capture included: the captures
    // taken are all written, the last one is rendered onto the clipboard (so
    // it outlives the program), the pictures no longer held are let go.
    struct BurstEnd {
      VistrelApp* app;
      std::exception_ptr& fileFailure;
      ~BurstEnd() {
        fileFailure = app->capturer_.EndBurst();
        app->inBurst_ = false;
      }
    } burstEnd{this, fileFailure};
    inBurst_ = true;
    for (auto place = CapturePlace::Press; !sessionEnding_ && GetAsyncKeyState(hotKeyCode_) != 0;
         place = CapturePlace::InBurst) {
      // Only an auto-recorded capture polls again at once; the others show
      // the preview window, which stops polling.
      if (!CaptureOnce(place)) break;
      // The press's capture is made for the clipboard before the burst goes
      // on: the history keeps the first capture.
      if (place == CapturePlace::Press) capturer_.RenderClipboard();
      // A clipboard reader may be waiting for this thread to render.
      AnswerSentMessages();
      if (capturer_.RecordFailed()) break;
    }
  }
  // A burst that ended on an error of its own has shown that one: a file
  // that failed beside it is not reported after it, nor at a log-off.
  if (fileFailure && !sessionEnding_) std::rethrow_exception(fileFailure);
}

bool VistrelApp::CaptureOnce(CapturePlace place) {
  preview_.SetPicture(nullptr);
  overlay_.ClearFrozenScreen();
  selectionActive_ = false;
  const CaptureMode mode = capturer_.ChooseMode();
  std::shared_ptr<const Picture> capture;
  if (mode == CaptureMode::MouseSelection) {
    overlay_.FreezeScreen();
    selectionActive_ = true;
  } else {
    capture = capturer_.Grab(mode);
    preview_.SetPicture(capture);
    capturer_.PutOnClipboard(capture, place);
  }

  const settings::AutoRecordPlan plan =
      settings::ReadAutoRecordPlan(captureSettings_.Refreshed(), DefaultSaveFolder);
  switch (DecideAfterCapture(selectionActive_, plan.on)) {
    case AfterCapture::ShowOverlay:
      overlay_.Show();
      ShowPreview(Front::Overlay);
      return false;
    case AfterCapture::RestorePreview:
      // Shown first; the clipboard's bitmap is made at the burst's end.
      ShowPreview();
      return false;
    case AfterCapture::AutoRecord:
      capturer_.Record(std::move(capture), plan);
      return true;
  }
  return false;
}

void VistrelApp::OnSelection(std::shared_ptr<const Picture> capture) {
  // The preview shows the new image even when the clipboard cannot be opened.
  preview_.SetPicture(capture);
  capturer_.PutOnClipboard(std::move(capture), CapturePlace::Press);
  capturer_.RenderClipboard();
}

// Called back wherever the program answers the system's messages, in the
// middle of a burst too: the burst stops at its next step.
void VistrelApp::EndSession() {
  sessionEnding_ = true;
  capturer_.EndSession();
  application_.Terminate();
}

void VistrelApp::OnPreferencesSaved() {
  if (inTray_)
    Arm();
  else
    preview_.Show();
}

void VistrelApp::OnPreferencesClosed() {
  if (!inTray_ && preview_.Handle()) preview_.Show();
}

int RunVistrel(TrayIcon::Notifier notifyIcon) {
  SearchDllsInSystemFolderOnly();
  SingleInstance instance;
  if (instance.AlreadyRunning() && !instance.HandOver()) return 0;
  INITCOMMONCONTROLSEX controls = {sizeof controls,
                                   ICC_STANDARD_CLASSES | ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  try {
    VistrelApp app(notifyIcon);
    app.Start();
    const int code = app.Run();
    // A start from now on runs at once, while this program's end may still
    // wait a few seconds for the clipboard.
    instance.Release();
    return code;
  } catch (const std::exception& e) {
    // A window that could not be made: the program cannot go on.
    ShowError(e.what());
    return 1;
  }
}

}  // namespace vistrel
