#pragma once
#include <string>

namespace vistrel {

class Picture;

// The two image writers. Both create the file anew (an existing one is
// replaced) and raise the file-creation or write error when the system
// refuses; both read the picture's pixels in place and may run on any thread.

// What stays of a file whose writing fails once it was created (a full
// disk): the file as far as it was written, or nothing, for a failure that
// will not be reported on its own (it follows one that is).
enum class FailedFile { KeepAsWritten, Remove };

// An uncompressed BMP at the picture's own depth. Nothing for an empty
// picture; a 0-byte file for a 0-width or 0-height image.
void BmpWriter(const Picture& picture, const std::string& path,
               FailedFile failed = FailedFile::KeepAsWritten);
// A baseline JPEG; nothing when quality is outside 1..100. An empty picture
// raises the TPicture/TBitmap conversion error.
void JpegWriter(const Picture& picture, const std::string& path, int quality,
                FailedFile failed = FailedFile::KeepAsWritten);

}  // namespace vistrel
