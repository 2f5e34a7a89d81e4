#include "settings/preferences_window_win.h"

#include <commctrl.h>

#include "about/about_window_win.h"
#include "app/preview_window_win.h"
#include "capture/hotkeys.h"
#include "settings/config_file_win.h"
#include "settings/pick_folder_win.h"
#include "settings/preferences_layout.h"
#include "settings/settings.h"
#include "toolkit/application_win.h"
#include "toolkit/messages.h"

namespace vistrel {

using namespace prefs;

TForm2* Form2 = nullptr;

namespace {
constexpr DWORD kStyle = WS_POPUP | WS_CAPTION;  // single border, title bar, no buttons
constexpr DWORD kExStyle = WS_EX_TOPMOST;
}  // namespace

void TForm2::Create() {
  RegisterClass("TForm2", GetSysColorBrush(COLOR_BTNFACE), nullptr);
  CreateCentredForm("TForm2", kCaption, kStyle, kExStyle, kClientWidth, kClientHeight);
}

void TForm2::Show() { ShowCentred(); }

void TForm2::SetupControls() {
  BuildControls(Layout(), WindowFont());
  HWND slider = Control(kTrackBar1);
  SendMessageA(slider, TBM_SETRANGE, FALSE, MAKELPARAM(0, 100));
  SendMessageA(slider, TBM_SETTHUMBLENGTH, Scaled(10), 0);
  SendMessageA(slider, TBM_SETPOS, TRUE, 100);
  HWND keys = Control(kChoixTouche);
  for (const HotKey& key : HotKeyTable)
    SendMessageA(keys, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(key.name));
  SendMessageA(keys, CB_SETITEMHEIGHT, 0, Scaled(13));
  SendMessageA(keys, CB_SETEXTENDEDUI, FALSE, 0);
}

void TForm2::SetTrackBarPosition(int position) {
  SendMessageA(Control(kTrackBar1), TBM_SETPOS, TRUE, position);
  SelectCompression();
}

int TForm2::TrackBarPosition() const {
  return static_cast<int>(SendMessageA(Control(kTrackBar1), TBM_GETPOS, 0, 0));
}

void TForm2::Initialize() {
  settings::Values stored;
  {
    SettingsFile file;
    stored = settings::ReadAll(file, DefaultSaveFolder);
  }
  SetChecked(kActif, ActifFromStored(stored.autoRec));
  AutoActivate();
  const bool bmp = RadioBmpFromStored(stored.autoRecFormat);
  SetChecked(kRadioBMP, bmp);
  SetChecked(kRadioJPG, !bmp);
  SetControlText(kEdit1, FolderFromStored(stored.saveFilePath, DefaultSaveFolder).c_str());
  // A value that is no integer stops the load here, as the conversion error.
  const SliderState slider = SliderFromStored(stored.compression);
  SetTrackBarPosition(slider.position);
  SetControlText(kLabelPourCent, slider.label.c_str());
  SetControlText(kChoixTouche, HotKeyFromStored(stored.hotKey).c_str());
  SetChecked(kWBorder, WBorderFromStored(stored.bordBlanc));
}

void TForm2::AutoActivate() {
  const bool on = Checked(kActif);
  for (int id : {kRadioBMP, kRadioJPG, kEdit1, kBrowse}) SetEnabled(id, on);
}

void TForm2::SelectCompression() {
  SetControlText(kLabelPourCent, PercentText(TrackBarPosition()).c_str());
}

void TForm2::SelectPath() {
  std::string path;
  if (PickFolder("Choix du répertoire d'enregistrement des Snaps :", path))
    SetControlText(kEdit1, path.c_str());
}

ControlStates TForm2::ReadControls() const {
  ControlStates states;
  states.actif = Checked(kActif);
  states.radioBmp = Checked(kRadioBMP);
  states.edit1 = ControlText(kEdit1);
  states.trackBar = TrackBarPosition();
  states.choixTouche = ControlText(kChoixTouche);
  states.wBorder = Checked(kWBorder);
  return states;
}

void TForm2::ValiderClick() {
  const settings::Values values = ValuesToWrite(ReadControls());
  {
    // A refused write stops here: the window stays open, nothing follows.
    SettingsFile file;
    settings::WriteAll(file, values);
  }
  Hide();
  if (Form1->InTray)
    Form1->Run();
  else
    Form1->Show();
}

// Shared by "Annuler", the system's close and the window's destruction.
void TForm2::Leave() {
  Initialize();
  Hide();
  if (Form1 && Form1->Handle() && !Form1->InTray) Form1->Show();
}

void TForm2::AnnulerClick() { Leave(); }
void TForm2::FormClose() { Leave(); }
void TForm2::FormDestroy() { Leave(); }

void TForm2::ResetClick() {
  {
    SettingsFile file;
    file.RemoveAll();
  }
  Initialize();
  MessageBoxA(Handle(), messages::SettingsReset().c_str(), Application::Title().c_str(), MB_OK);
}

void TForm2::InfosClick() {
  Hide();
  Form3->Show();
}

void TForm2::OnCommand(int id, int code) {
  if (code != BN_CLICKED) return;
  switch (id) {
    case kActif:
      AutoActivate();
      break;
    case kBrowse:
      SelectPath();
      break;
    case kValider:
      ValiderClick();
      break;
    case kAnnuler:
      AnnulerClick();
      break;
    case kReset:
      ResetClick();
      break;
    case kInfos:
      InfosClick();
      break;
    default:
      break;
  }
}

LRESULT TForm2::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      SetupControls();
      UseDialogKeys();
      Initialize();
      return 0;
    case WM_COMMAND:
      if (lParam) OnCommand(LOWORD(wParam), HIWORD(wParam));
      return 0;
    case WM_HSCROLL:
      if (reinterpret_cast<HWND>(lParam) == Control(kTrackBar1)) SelectCompression();
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
      Guarded([this] { FormClose(); });
      return 0;
    case WM_DESTROY:
      Guarded([this] { FormDestroy(); });
      return 0;
  }
  return Form::OnMessage(message, wParam, lParam);
}

}  // namespace vistrel
