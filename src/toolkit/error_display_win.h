#pragma once
#include <windows.h>

#include <string>

namespace vistrel {

// The program's one error display: a box captioned with the application
// title, stop icon, OK, the text with the full-stop rule applied.
void ShowError(const std::string& text);

// True while an error box is open. The hot-key poll pauses meanwhile, so a
// capture that keeps failing under a held key shows one box at a time.
bool ErrorBoxOpen();

// The system's text for an error code, without its line end.
std::string SystemErrorText(DWORD code);

}  // namespace vistrel
