#pragma once
#include <windows.h>

#include "toolkit/form_win.h"
#include "toolkit/picture_win.h"

namespace vistrel {

// The floating preview window: shows the last capture, arms the program in
// the tray and polls the hot key.
class TForm1 : public Form {
 public:
  TForm1();
  void Create();

  Picture PreviewPicture;
  bool InTray = false;
  bool SelectionActive = false;

  // Arms the program: reads the hot key, registers the tray icon, polls.
  void Run();
  void MinimizeToTray();
  void RestoreMainForm();

 protected:
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

extern TForm1* Form1;

}  // namespace vistrel
