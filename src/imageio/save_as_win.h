#pragma once
#include <windows.h>

#include <string>

namespace vistrel {

class Picture;

// Writes the picture as an uncompressed BMP at its own depth. Nothing for an
// empty picture; a 0-byte file for a 0-width or 0-height image.
void BmpWriter(const Picture& picture, const std::string& path);
// Writes the picture as a baseline JPEG; nothing when quality is outside
// 1..100. An empty picture raises the TPicture/TBitmap conversion error.
void JpegWriter(const Picture& picture, const std::string& path, int quality);

// The preview's "Save as..." entries: a save dialog that remembers its last
// path, then the writer. The owner is the preview window.
void SaveAsBMP(HWND owner, const Picture& picture);
void SaveAsJPG(HWND owner, const Picture& picture);

}  // namespace vistrel
