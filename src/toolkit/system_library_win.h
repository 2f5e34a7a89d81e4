#pragma once
#include <windows.h>

namespace vistrel {

// DLLs come from the system folder only. Windows looks for a DLL loaded by
// name in the program's own folder first: a program run from Downloads would
// load a planted dwmapi.dll lying beside it.

// At start: every later load by name, the system's own included, searches
// the system folder only (where the system supports it: Windows 8, and 7
// with its update KB2533623).
void SearchDllsInSystemFolderOnly();

// A system DLL loaded at run time, from the system folder; null when absent.
HMODULE LoadSystemLibrary(const wchar_t* name);

}  // namespace vistrel
