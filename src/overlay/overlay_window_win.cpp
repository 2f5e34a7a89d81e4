#include "overlay/overlay_window_win.h"

namespace vistrel {

TForm4* Form4 = nullptr;

void TForm4::Create() {
  RegisterClass("TForm4", GetSysColorBrush(COLOR_BTNFACE), nullptr);
  CreateForm("TForm4", "Form4", WS_POPUP, WS_EX_TOPMOST, 0, 0, GetSystemMetrics(SM_CXSCREEN),
             GetSystemMetrics(SM_CYSCREEN));
}

LRESULT TForm4::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return Form::OnMessage(message, wParam, lParam);
}

}  // namespace vistrel
