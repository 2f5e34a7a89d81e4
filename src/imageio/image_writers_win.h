#pragma once
#include <string>

namespace vistrel {

class Picture;

// The two image writers. Both create the file anew (an existing one is
// replaced) and raise the file-creation or write error when the system
// refuses; both read the picture's pixels in place and may run on any thread.

// An uncompressed BMP at the picture's own depth. Nothing for an empty
// picture; a 0-byte file for a 0-width or 0-height image.
void BmpWriter(const Picture& picture, const std::string& path);
// A baseline JPEG; nothing when quality is outside 1..100. An empty picture
// raises the TPicture/TBitmap conversion error.
void JpegWriter(const Picture& picture, const std::string& path, int quality);

}  // namespace vistrel
