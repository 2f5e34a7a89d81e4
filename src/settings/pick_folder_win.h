#pragma once
#include <windows.h>

#include <string>

namespace vistrel {

// The shell's folder-browse dialog, owned by the application window, with
// nothing preselected and only file-system folders allowed. The rest of the
// program (the windows the application window owns) is disabled while it is
// open. True and the folder's path when the
// user confirmed; false on cancel or when the shell offers no dialog.
bool PickFolder(HWND applicationWindow, const std::string& caption, std::string& path);

}  // namespace vistrel
