// BmpWriter and JpegWriter: pixels out of the picture's bitmap, bytes into a file.
#include "imageio/image_writers_win.h"

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "imageio/bmp_format.h"
#include "imageio/jpeg_encoder.h"
#include "toolkit/error.h"
#include "toolkit/error_display_win.h"
#include "toolkit/messages.h"
#include "toolkit/picture_win.h"
#include "toolkit/text_win.h"

namespace vistrel {

namespace {

// A file created anew (an existing one is truncated), closed on scope exit.
class OutputFile {
 public:
  OutputFile(const std::string& path, FailedFile failed) : path_(Wide(path)), failed_(failed) {
    // The system's path limit holds as it does for a program that has not
    // declared itself aware of long paths; Wine alone would go past it.
    if (path_.size() >= MAX_PATH)
      throw Error(messages::CannotCreateFile(path, SystemErrorText(ERROR_FILENAME_EXCED_RANGE)));
    // Replacing a read-only file is refused with "access denied" by the
    // system; Wine run by root would truncate it, so refuse it here too.
    const DWORD attributes = GetFileAttributesW(path_.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
        !(attributes & FILE_ATTRIBUTE_DIRECTORY))
      throw Error(messages::CannotCreateFile(path, SystemErrorText(ERROR_ACCESS_DENIED)));
    handle_ = CreateFileW(path_.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle_ == INVALID_HANDLE_VALUE)
      throw Error(messages::CannotCreateFile(path, SystemErrorText(GetLastError())));
  }
  ~OutputFile() {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // A write that stores fewer bytes than asked (disk full) is an error.
  void Write(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    while (size > 0) {
      const DWORD chunk = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
      DWORD written = 0;
      if (!WriteFile(handle_, bytes, chunk, &written, nullptr) || written != chunk) {
        if (failed_ == FailedFile::Remove) {
          CloseHandle(std::exchange(handle_, INVALID_HANDLE_VALUE));
          DeleteFileW(path_.c_str());
        }
        throw Error(messages::StreamWriteError());
      }
      bytes += chunk;
      size -= chunk;
    }
  }

 private:
  std::wstring path_;
  FailedFile failed_;
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

}  // namespace

void BmpWriter(const Picture& picture, const std::string& path, FailedFile failed) {
  if (picture.Empty()) return;
  OutputFile file(path, failed);
  if (!picture.Bits()) return;  // a side of 0: the file stays empty

  // The picture's rows are already in the file's order and layout.
  BmpImage image;
  image.width = picture.Width();
  image.height = picture.Height();
  image.bitsPerPixel = Picture::kBitsPerPixel;
  image.pixels = picture.Bits();
  WriteBmp(image, [&](const void* data, std::size_t size) { file.Write(data, size); });
}

void JpegWriter(const Picture& picture, const std::string& path, int quality, FailedFile failed) {
  if (picture.Empty()) throw Error(messages::CannotAssign("TPicture", "TBitmap"));
  if (!JpegQualityInRange(quality)) return;

  // The whole stream is built before the file is touched, so an encoder
  // failure leaves an existing file of that name as it was.
  std::vector<std::uint8_t> stream;
  if (picture.Bits()) {
    // Bottom row first in memory: the top row is the last one.
    const auto rowBytes = static_cast<std::ptrdiff_t>(picture.RowBytes());
    const JpegSource source{picture.Width(), picture.Height(),
                            picture.Bits() + rowBytes * (picture.Height() - 1), -rowBytes, 4};
    stream = *EncodeJpeg(source, quality);
  }
  OutputFile file(path, failed);
  if (!stream.empty()) file.Write(stream.data(), stream.size());
}

}  // namespace vistrel
