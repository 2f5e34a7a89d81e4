#pragma once
#include <windows.h>

#include "toolkit/form_win.h"

namespace vistrel {

// The preferences window: edits the six settings of the profile file.
class TForm2 : public Form {
 public:
  void Create();

 protected:
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

extern TForm2* Form2;

}  // namespace vistrel
