#pragma once
#include <windows.h>

#include <string>

namespace vistrel {

class Picture;

// The preview's "Save as..." entries: a save dialog that remembers its last
// path, then the writer. The owner is the preview window.
void SaveAsBMP(HWND owner, const Picture& picture);
void SaveAsJPG(HWND owner, const Picture& picture);

}  // namespace vistrel
