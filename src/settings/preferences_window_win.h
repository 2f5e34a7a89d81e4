#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "settings/preferences_model.h"
#include "toolkit/form_win.h"

namespace vistrel {

// What leaving the preferences window asks of the program.
struct PreferencesEvents {
  std::function<void()> onSaved;   // "Ok" wrote the six settings; the window is hidden
  std::function<void()> onClosed;  // left without saving; hidden, the stored values shown again
  std::function<void()> onAbout;   // "Infos"; hidden, edits kept
};

// The preferences window (window class "TForm2"): edits the six settings of
// the profile file. It holds nothing but its controls; the file is the store.
class PreferencesWindow : public Form {
 public:
  // hotKeyNames: the keys on offer, in the order they are listed.
  void Create(Application& app, std::vector<std::string> hotKeyNames, PreferencesEvents events);
  // Opens the window centred on the screen.
  void Show() override;

 protected:
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnDpiChanged() override;

 private:
  void SetUpControls();
  // Shows the stored settings; a stored quality that is not an integer stops
  // the load at that step with the conversion error.
  void LoadStoredSettings();
  void EnableAutoRecordControls();
  void ShowQualityPosition();
  void BrowseForFolder();
  void SaveAndLeave();
  void ReloadAndLeave();
  void ResetToDefaults();
  void OpenAbout();
  void OnCommand(int id, int code);

  prefs::ControlStates ReadControls() const;
  void SetQualityPosition(int position);
  int QualityPosition() const;

  std::vector<std::string> hotKeyNames_;
  PreferencesEvents events_;
  HWND lastFocus_ = nullptr;
};

}  // namespace vistrel
