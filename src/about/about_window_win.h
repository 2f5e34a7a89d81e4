#pragma once
#include <windows.h>

#include "toolkit/form_win.h"

namespace vistrel {

// The about window: name, version, dedication and two links.
class TForm3 : public Form {
 public:
  void Create();

 protected:
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
};

extern TForm3* Form3;

}  // namespace vistrel
