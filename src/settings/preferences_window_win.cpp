#include "settings/preferences_window_win.h"

namespace vistrel {

TForm2* Form2 = nullptr;

void TForm2::Create() {
  RegisterClass("TForm2", GetSysColorBrush(COLOR_BTNFACE), nullptr);
  const DWORD style = WS_POPUP | WS_CAPTION | WS_BORDER;
  RECT r = {0, 0, 329, 273};
  AdjustWindowRectEx(&r, style, FALSE, WS_EX_TOPMOST);
  const int width = r.right - r.left, height = r.bottom - r.top;
  CreateForm("TForm2", "  Préférences...", style, WS_EX_TOPMOST | WS_EX_DLGMODALFRAME,
             (GetSystemMetrics(SM_CXSCREEN) - width) / 2,
             (GetSystemMetrics(SM_CYSCREEN) - height) / 2, width, height);
}

LRESULT TForm2::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return Form::OnMessage(message, wParam, lParam);
}

}  // namespace vistrel
