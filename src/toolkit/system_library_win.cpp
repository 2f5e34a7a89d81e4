#include "toolkit/system_library_win.h"

#include <string>

namespace vistrel {

void SearchDllsInSystemFolderOnly() {
  using SetDefaultDllDirectoriesFn = BOOL(WINAPI*)(DWORD);
  // Looked up in kernel32 itself: older systems lack it.
  const auto setDefaultDllDirectories =
      reinterpret_cast<SetDefaultDllDirectoriesFn>(reinterpret_cast<void*>(
          GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
  if (setDefaultDllDirectories) setDefaultDllDirectories(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

HMODULE LoadSystemLibrary(const wchar_t* name) {
  if (HMODULE library = LoadLibraryExW(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) return library;
  // A system that does not know the flag refuses it: the full path then.
  if (GetLastError() != ERROR_INVALID_PARAMETER) return nullptr;
  wchar_t folder[MAX_PATH];
  const UINT length = GetSystemDirectoryW(folder, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return nullptr;
  return LoadLibraryW((std::wstring(folder, length) + L"\\" + name).c_str());
}

}  // namespace vistrel
