#pragma once
#include <windows.h>

#include <functional>
#include <string>

namespace vistrel {

class Picture;

// The preview's "Save as..." entries: a save dialog that remembers its last
// path, then the writer. The owner is the preview window. The JPEG quality
// is read once the dialog has given a file.
void SaveAsBMP(HWND owner, const Picture& picture);
void SaveAsJPG(HWND owner, const Picture& picture, const std::function<int()>& readQuality);

}  // namespace vistrel
