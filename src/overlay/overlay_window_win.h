#pragma once
#include <windows.h>

#include "toolkit/form_win.h"
#include "toolkit/picture_win.h"

namespace vistrel {

// The full-screen selection overlay: a frozen copy of the screen on which a
// rectangle is dragged out and captured.
class TForm4 : public Form {
 public:
  void Create();
  Picture OverlayPicture;

 protected:
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

extern TForm4* Form4;

}  // namespace vistrel
