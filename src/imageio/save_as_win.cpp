#include "imageio/save_as_win.h"

#include <commdlg.h>

#include "imageio/image_writers_win.h"
#include "toolkit/handles_win.h"
#include "toolkit/picture_win.h"
#include "toolkit/system_library_win.h"
#include "toolkit/text_win.h"

namespace vistrel {

namespace {

// The dialog's library is loaded at the first "Save as...", not at start: a
// program that waits in the tray need not carry it and what it pulls in.
using GetSaveFileNameFunction = BOOL(WINAPI*)(LPOPENFILENAMEW);
GetSaveFileNameFunction LoadSaveDialog() {
  static const GetSaveFileNameFunction function = []() -> GetSaveFileNameFunction {
    HMODULE library = LoadSystemLibrary(L"comdlg32.dll");
    if (!library) return nullptr;
    return reinterpret_cast<GetSaveFileNameFunction>(
        reinterpret_cast<void*>(GetProcAddress(library, "GetSaveFileNameW")));
  }();
  if (!function) RaiseLastError();
  return function;
}

// A file-save dialog that offers again the path last chosen in it.
struct SaveDialog {
  const wchar_t* defaultExt;
  const wchar_t* filterText;
  std::string fileName;

  bool Execute(HWND owner) {
    wchar_t buffer[MAX_PATH] = {};
    Wide(fileName).copy(buffer, MAX_PATH - 1);
    // The filter text holds no "|": one entry, the whole text as its
    // description and an empty pattern.
    const std::wstring filter = std::wstring(filterText) + L'\0' + L'\0';
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter.c_str();
    ofn.nFilterIndex = 1;
    ofn.lpstrFile = buffer;
    ofn.nMaxFile = MAX_PATH;
    ofn.lpstrDefExt = defaultExt;
    // No overwrite prompt: an existing file is replaced without a question.
    ofn.Flags = OFN_EXPLORER | OFN_HIDEREADONLY | OFN_ENABLESIZING;
    if (!LoadSaveDialog()(&ofn)) return false;
    fileName = Utf8(buffer);
    return true;
  }
};

SaveDialog SaveDialogBMP{L"bmp", L"Image Bitmap (*.bmp)", {}};
SaveDialog SaveDialogJPG{L"jpg", L"Image Jpeg (*.jpg)", {}};

}  // namespace

void SaveAsBMP(HWND owner, const Picture& picture) {
  if (!SaveDialogBMP.Execute(owner)) return;
  BmpWriter(picture, SaveDialogBMP.fileName);
}

void SaveAsJPG(HWND owner, const Picture& picture, const std::function<int()>& readQuality) {
  if (!SaveDialogJPG.Execute(owner)) return;
  // Read afresh at every save, once a file is chosen; a stored quality that
  // is no integer stops the save before the file is made.
  const int quality = readQuality();
  JpegWriter(picture, SaveDialogJPG.fileName, quality);
}

}  // namespace vistrel
