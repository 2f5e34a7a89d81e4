#include "toolkit/error_display_win.h"

#include <windows.h>

#include "toolkit/messages.h"

namespace vistrel {
namespace {
int openBoxes = 0;
}

void ShowError(const std::string& text) {
  ++openBoxes;
  const std::string shown = WithFullStop(text);
  MessageBoxA(GetActiveWindow(), shown.c_str(), messages::kApplicationTitle,
              MB_OK | MB_ICONSTOP | MB_TOPMOST);
  --openBoxes;
}

bool ErrorBoxOpen() { return openBoxes > 0; }

std::string SystemErrorText(DWORD code) {
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string result(text ? text : "", length);
  if (text) LocalFree(text);
  while (!result.empty() && (result.back() == '\r' || result.back() == '\n')) result.pop_back();
  return result;
}

}  // namespace vistrel
