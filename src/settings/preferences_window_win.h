#pragma once
#include <windows.h>

#include "settings/preferences_model.h"
#include "toolkit/form_win.h"

namespace vistrel {

// The preferences window: edits the six settings of the profile file.
class TForm2 : public Form {
 public:
  void Create();
  // Opens the window centred on the screen.
  void Show() override;

  // Loads every setting into the controls; stops at the step that fails.
  void Initialize();
  void AutoActivate();
  void SelectCompression();
  void SelectPath();
  void ValiderClick();
  void AnnulerClick();
  void FormClose();
  void FormDestroy();
  void ResetClick();
  void InfosClick();

 protected:
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void SetupControls();
  prefs::ControlStates ReadControls() const;
  void SetTrackBarPosition(int position);
  int TrackBarPosition() const;
  void Leave();
  void OnCommand(int id, int code);

  HWND lastFocus_ = nullptr;
};

extern TForm2* Form2;

}  // namespace vistrel
