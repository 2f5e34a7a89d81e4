#include "toolkit/error_display_win.h"

#include <windows.h>

#include "toolkit/messages.h"
#include "toolkit/text_win.h"

namespace vistrel {
namespace {
int openBoxes = 0;
}

void ShowError(const std::string& text) {
  ++openBoxes;
  const std::string shown = WithFullStop(text);
  MessageBoxW(GetActiveWindow(), Wide(shown).c_str(), Wide(messages::kApplicationTitle).c_str(),
              MB_OK | MB_ICONSTOP | MB_TOPMOST);
  --openBoxes;
}

bool ErrorBoxOpen() { return openBoxes > 0; }

std::string SystemErrorText(DWORD code) {
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::string result = Utf8(std::wstring_view(text ? text : L"", length));
  if (text) LocalFree(text);
  while (!result.empty() && (result.back() == '\r' || result.back() == '\n')) result.pop_back();
  return result;
}

}  // namespace vistrel
