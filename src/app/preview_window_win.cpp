#include "app/preview_window_win.h"

#include <cstring>
#include <string>

#include "toolkit/error.h"

namespace vistrel {

TForm1* Form1 = nullptr;

TForm1::TForm1() = default;

void TForm1::Create() {
  RegisterClass("TForm1", static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)), nullptr);
  CreateForm("TForm1", "  Vistrel v2.0.2.2", WS_POPUP, WS_EX_TOPMOST | WS_EX_LAYERED, 0, 0, 200,
             167);
}

void TForm1::Run() { MinimizeToTray(); }

void TForm1::MinimizeToTray() {
  Hide();
  InTray = true;
}

void TForm1::RestoreMainForm() {
  Show();
  InTray = false;
}

LRESULT TForm1::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      SetLayeredWindowAttributes(Handle(), RGB(255, 0, 255), 200, LWA_ALPHA | LWA_COLORKEY);
      Run();
      return 0;
#ifdef VISTREL_TEST_HOOKS
    case WM_COPYDATA: {
      // Test build only: raise the error a test asks for, to show the error box.
      const auto* data = reinterpret_cast<const COPYDATASTRUCT*>(lParam);
      if (data && data->dwData == 0x7E57 && data->lpData)
        throw Error(std::string(static_cast<const char*>(data->lpData),
                                strnlen(static_cast<const char*>(data->lpData), data->cbData)));
      break;
    }
#endif
  }
  return Form::OnMessage(message, wParam, lParam);
}

}  // namespace vistrel
