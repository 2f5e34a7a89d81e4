// Start-up: title, the four windows in their order, all hidden, then the
// message loop with nothing shown but the tray icon.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include "about/about_window_win.h"
#include "app/preview_window_win.h"
#include "overlay/overlay_window_win.h"
#include "settings/preferences_window_win.h"
#include "toolkit/application_win.h"

using namespace vistrel;

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  INITCOMMONCONTROLSEX controls = {sizeof controls,
                                   ICC_STANDARD_CLASSES | ICC_BAR_CLASSES | ICC_WIN95_CLASSES};
  InitCommonControlsEx(&controls);
  Application::SetTitle("Vistrel");
  Application::Initialize();
  // Each global is set before its window's creation handler runs.
  Form1 = new TForm1;
  Form1->Create();
  Form4 = new TForm4;
  Form4->Create();
  Form2 = new TForm2;
  Form2->Create();
  Form3 = new TForm3;
  Form3->Create();
  const int status = Application::Run();
  // However the loop ended, the last capture stays on the clipboard.
  Form1->Clipboard.Render();
  return status;
}
