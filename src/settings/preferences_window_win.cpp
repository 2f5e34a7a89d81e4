#include "settings/preferences_window_win.h"

#include <commctrl.h>

#include "settings/config_file_win.h"
#include "settings/pick_folder_win.h"
#include "settings/preferences_layout.h"
#include "settings/settings.h"
#include "toolkit/application_win.h"
#include "toolkit/messages.h"
#include "toolkit/text_win.h"

namespace vistrel {

using namespace prefs;

namespace {
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION;  // single border, title bar, no buttons
constexpr DWORD kExStyle = WS_EX_TOPMOST;
}  // namespace

void PreferencesWindow::Create(Application& app, std::vector<std::string> hotKeyNames,
                               PreferencesEvents events) {
  hotKeyNames_ = std::move(hotKeyNames);
  events_ = std::move(events);
  RegisterWindowClass("TForm2", GetSysColorBrush(COLOR_BTNFACE), nullptr);
  CreateCentredForm(app, "TForm2", kCaption, kStyle, kExStyle, kClientWidth, kClientHeight);
}

void PreferencesWindow::Show() { ShowCentred(); }

void PreferencesWindow::SetUpControls() {
  BuildControls(Layout(), WindowFont());
  HWND slider = Control(kQualitySlider);
  SendMessageW(slider, TBM_SETRANGE, FALSE, MAKELPARAM(0, 100));
  SendMessageW(slider, TBM_SETPOS, TRUE, 100);
  HWND keys = Control(kHotKeyBox);
  for (const std::string& name : hotKeyNames_)
    SendMessageW(keys, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Wide(name).c_str()));
  SendMessageW(keys, CB_SETEXTENDEDUI, FALSE, 0);
  OnDpiChanged();
}

void PreferencesWindow::OnDpiChanged() {
  constexpr int kThumbLength = 10, kListItemHeight = 13;
  SendMessageW(Control(kQualitySlider), TBM_SETTHUMBLENGTH, Scale(kThumbLength), 0);
  SendMessageW(Control(kHotKeyBox), CB_SETITEMHEIGHT, 0, Scale(kListItemHeight));
}

void PreferencesWindow::SetQualityPosition(int position) {
  SendMessageW(Control(kQualitySlider), TBM_SETPOS, TRUE, position);
  ShowQualityPosition();
}

int PreferencesWindow::QualityPosition() const {
  return static_cast<int>(SendMessageW(Control(kQualitySlider), TBM_GETPOS, 0, 0));
}

void PreferencesWindow::LoadStoredSettings() {
  settings::Values stored;
  {
    SettingsFile file;
    stored = settings::ReadAll(file, DefaultSaveFolder);
  }
  SetChecked(kAutoRecordBox, AutoRecordTicked(stored.autoRec));
  EnableAutoRecordControls();
  const bool bmp = BmpSelected(stored.autoRecFormat);
  SetChecked(kBmpRadio, bmp);
  SetChecked(kJpgRadio, !bmp);
  SetControlText(kFolderEdit, FolderShown(stored.saveFilePath, DefaultSaveFolder).c_str());
  // A value that is no integer stops the load here, as the conversion error.
  const QualityState slider = QualityShown(stored.compression);
  SetQualityPosition(slider.position);
  SetControlText(kQualityLabel, slider.label.c_str());
  SetControlText(kHotKeyBox, HotKeyShown(stored.hotKey).c_str());
  SetChecked(kWhiteBorderBox, WhiteBorderTicked(stored.bordBlanc));
}

void PreferencesWindow::EnableAutoRecordControls() {
  const bool on = Checked(kAutoRecordBox);
  for (int id : {kBmpRadio, kJpgRadio, kFolderEdit, kBrowseButton}) SetEnabled(id, on);
}

void PreferencesWindow::ShowQualityPosition() {
  SetControlText(kQualityLabel, PercentText(QualityPosition()).c_str());
}

void PreferencesWindow::BrowseForFolder() {
  std::string path;
  if (PickFolder(App().Handle(), "Choix du répertoire d'enregistrement des Snaps :", path))
    SetControlText(kFolderEdit, path.c_str());
}

ControlStates PreferencesWindow::ReadControls() const {
  ControlStates states;
  states.autoRecord = Checked(kAutoRecordBox);
  states.bmp = Checked(kBmpRadio);
  states.folder = ControlText(kFolderEdit);
  states.quality = QualityPosition();
  states.hotKey = ControlText(kHotKeyBox);
  states.whiteBorder = Checked(kWhiteBorderBox);
  return states;
}

void PreferencesWindow::SaveAndLeave() {
  const settings::Values values = ValuesToWrite(ReadControls());
  {
    // A refused write stops here: the window stays open, nothing follows.
    SettingsFile file;
    settings::WriteAll(file, values);
  }
  Hide();
  events_.onSaved();
}

// "Annuler" and the system's close: the edits go.
void PreferencesWindow::ReloadAndLeave() {
  LoadStoredSettings();
  Hide();
  events_.onClosed();
}

void PreferencesWindow::ResetToDefaults() {
  {
    SettingsFile file;
    file.RemoveAll();
  }
  LoadStoredSettings();
  MessageBoxW(Handle(), Wide(messages::SettingsReset()).c_str(), Wide(App().Title()).c_str(),
              MB_OK);
}

void PreferencesWindow::OpenAbout() {
  Hide();
  events_.onAbout();
}

void PreferencesWindow::OnCommand(int id, int code) {
  if (code != BN_CLICKED) return;
  switch (id) {
    case kAutoRecordBox:
      EnableAutoRecordControls();
      break;
    case kBrowseButton:
      BrowseForFolder();
      break;
    case kOkButton:
      SaveAndLeave();
      break;
    case kCancelButton:
      ReloadAndLeave();
      break;
    case kResetButton:
      ResetToDefaults();
      break;
    case kInfosButton:
      OpenAbout();
      break;
    default:
      break;
  }
}

LRESULT PreferencesWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      SetUpControls();
      UseDialogKeys();
      LoadStoredSettings();
      return 0;
    case WM_COMMAND:
      if (lParam) OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_HSCROLL:
      if (reinterpret_cast<HWND>(lParam) == Control(kQualitySlider)) ShowQualityPosition();
      return 0;
    case WM_ACTIVATE:
      // Keyboard focus goes back to the control that had it, else the first.
      if (LOWORD(wParam) == WA_INACTIVE) {
        HWND focus = GetFocus();
        if (focus && IsChild(Handle(), focus)) lastFocus_ = focus;
      } else {
        HWND target = lastFocus_ && IsWindowEnabled(lastFocus_)
                          ? lastFocus_
                          : GetNextDlgTabItem(Handle(), nullptr, FALSE);
        if (target) SetFocus(target);
      }
      return 0;
    case WM_CLOSE:
      // The window is only ever hidden; a failed reload keeps it open.
      ReloadAndLeave();
      return 0;
    case WM_DESTROY:
      // The program's end: the edits go with the window. Nothing is shown
      // again, so the stored values are not loaded back (a stored quality
      // that is no integer would hold the end up with its error box).
      Hide();
      return 0;
  }
  return Form::OnMessage(message, wParam, lParam);
}

}  // namespace vistrel
