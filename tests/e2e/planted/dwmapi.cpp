// A stand-in dwmapi.dll that the tests place beside vistrel.exe, as a DLL
// planted in a Downloads folder: loaded, it leaves "dwmapi-loaded.txt" beside
// itself, and its window bounds are wrong, so that a capture through it shows.
#include <windows.h>

#include <string>

extern "C" __declspec(dllexport) HRESULT WINAPI
    DwmGetWindowAttribute(HWND, DWORD, PVOID value, DWORD size) {
  if (size != sizeof(RECT)) return E_INVALIDARG;
  *static_cast<RECT*>(value) = RECT{0, 0, 7, 5};
  return S_OK;
}

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  wchar_t path[MAX_PATH];
  const DWORD length = GetModuleFileNameW(self, path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) return TRUE;
  std::wstring record(path, length);
  record.resize(record.find_last_of(L'\\') + 1);
  record += L"dwmapi-loaded.txt";
  HANDLE file = CreateFileW(record.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) {
    wchar_t program[MAX_PATH];
    const DWORD programLength = GetModuleFileNameW(nullptr, program, MAX_PATH);
    DWORD written;
    WriteFile(file, program, programLength * sizeof(wchar_t), &written, nullptr);
    CloseHandle(file);
  }
  return TRUE;
}
