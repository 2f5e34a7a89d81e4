#include "toolkit/error_display_win.h"

#include <windows.h>

#include "toolkit/application_win.h"
#include "toolkit/messages.h"

namespace vistrel {
namespace {
int openBoxes = 0;
}

void ShowError(const std::string& text) {
  ++openBoxes;
  const std::string shown = WithFullStop(text);
  MessageBoxA(GetActiveWindow(), shown.c_str(), Application::Title().c_str(),
              MB_OK | MB_ICONSTOP | MB_TOPMOST);
  --openBoxes;
}

bool ErrorBoxOpen() { return openBoxes > 0; }

}  // namespace vistrel
