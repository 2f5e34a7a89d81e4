#include "about/about_window_win.h"

namespace vistrel {

TForm3* Form3 = nullptr;

void TForm3::Create() {
  RegisterClass("TForm3", GetSysColorBrush(COLOR_BTNFACE), nullptr);
  CreateForm("TForm3", "  About...", WS_POPUP, WS_EX_TOPMOST,
             (GetSystemMetrics(SM_CXSCREEN) - 273) / 2, (GetSystemMetrics(SM_CYSCREEN) - 105) / 2,
             273, 105);
}

LRESULT TForm3::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return Form::OnMessage(message, wParam, lParam);
}

}  // namespace vistrel
