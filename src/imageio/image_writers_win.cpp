// BmpWriter and JpegWriter: pixels out of the picture's bitmap, bytes into a file.
#include <cstdint>
#include <vector>

#include "imageio/bmp_format.h"
#include "imageio/jpeg_encoder.h"
#include "imageio/save_as_win.h"
#include "toolkit/error.h"
#include "toolkit/messages.h"
#include "toolkit/picture_win.h"

namespace vistrel {

namespace {

// The system's text for an error code, without its line end.
std::string SystemErrorText(DWORD code) {
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, code, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string result(text ? text : "", length);
  if (text) LocalFree(text);
  while (!result.empty() && (result.back() == '\r' || result.back() == '\n')) result.pop_back();
  return result;
}

// A file created anew (an existing one is truncated), closed on scope exit.
class OutputFile {
 public:
  explicit OutputFile(const std::string& path) {
    // Replacing a read-only file is refused with "access denied" by the
    // system; Wine run by root would truncate it, so refuse it here too.
    const DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) &&
        !(attributes & FILE_ATTRIBUTE_DIRECTORY))
      throw Error(messages::CannotCreateFile(path, SystemErrorText(ERROR_ACCESS_DENIED)));
    handle_ = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle_ == INVALID_HANDLE_VALUE)
      throw Error(messages::CannotCreateFile(path, SystemErrorText(GetLastError())));
  }
  ~OutputFile() { CloseHandle(handle_); }
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  // A write that stores fewer bytes than asked (disk full) is an error.
  void Write(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    while (size > 0) {
      const DWORD chunk = size > 0x40000000 ? 0x40000000 : static_cast<DWORD>(size);
      DWORD written = 0;
      if (!WriteFile(handle_, bytes, chunk, &written, nullptr) || written != chunk)
        throw Error(messages::StreamWriteError());
      bytes += chunk;
      size -= chunk;
    }
  }

 private:
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

// BITMAPINFO with room for the largest colour table.
struct DibInfo {
  BITMAPINFOHEADER header;
  RGBQUAD colours[256];
};

// Pixel rows, kept from one write to the next: a burst writes one image after
// another at the screen's size, and a fresh buffer of that size costs more
// under the allocator than the copy into it. It grows to the largest image
// written and lives as long as the program, beside a preview bitmap as large.
std::uint8_t* PixelBuffer(std::size_t size) {
  static std::vector<std::uint8_t> buffer;
  if (buffer.size() < size) {
    buffer.clear();
    buffer.shrink_to_fit();
    buffer.resize(size);
  }
  return buffer.data();
}

// The bitmap's pixels in device-independent form at bitsPerPixel, straight
// into the reusable buffer; a negative height asks for the top row first.
const std::uint8_t* GetPixels(HBITMAP bitmap, int width, int height, int bitsPerPixel,
                              DibInfo& info) {
  info = DibInfo{};
  info.header.biSize = sizeof(BITMAPINFOHEADER);
  info.header.biWidth = width;
  info.header.biHeight = height;
  info.header.biPlanes = 1;
  info.header.biBitCount = static_cast<WORD>(bitsPerPixel);
  info.header.biCompression = BI_RGB;
  const int rows = height < 0 ? -height : height;
  std::uint8_t* pixels =
      PixelBuffer(BmpRowBytes(width, bitsPerPixel) * static_cast<std::size_t>(rows));
  WindowDC screen(nullptr);
  GetDIBits(screen.Get(), bitmap, 0, static_cast<UINT>(rows), pixels,
            reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS);
  return pixels;
}

}  // namespace

void BmpWriter(const Picture& picture, const std::string& path) {
  if (picture.Empty()) return;
  OutputFile file(path);
  if (picture.Width() == 0 || picture.Height() == 0 || !picture.Bitmap()) return;

  // The image's own depth: no reduction, no expansion.
  BITMAP bm{};
  GetObjectA(picture.Bitmap(), sizeof bm, &bm);
  const int bitsPerPixel = bm.bmBitsPixel;
  DibInfo info;
  const std::uint8_t* pixels =
      GetPixels(picture.Bitmap(), picture.Width(), picture.Height(), bitsPerPixel, info);

  BmpImage image;
  image.width = picture.Width();
  image.height = picture.Height();
  image.bitsPerPixel = static_cast<std::uint16_t>(bitsPerPixel);
  image.pixels = pixels;
  image.colourTable = reinterpret_cast<const std::uint8_t*>(info.colours);
  image.xPelsPerMeter = info.header.biXPelsPerMeter;
  image.yPelsPerMeter = info.header.biYPelsPerMeter;
  image.coloursUsed = info.header.biClrUsed;
  image.coloursImportant = info.header.biClrImportant;
  WriteBmp(image, [&](const void* data, std::size_t size) { file.Write(data, size); });
}

void JpegWriter(const Picture& picture, const std::string& path, int quality) {
  if (picture.Empty()) throw Error(messages::CannotAssign("TPicture", "TBitmap"));
  if (!JpegQualityInRange(quality)) return;

  // The whole stream is built before the file is touched, so an encoder
  // failure leaves an existing file of that name as it was.
  std::vector<std::uint8_t> stream;
  if (picture.Width() > 0 && picture.Height() > 0 && picture.Bitmap()) {
    DibInfo info;
    const std::uint8_t* pixels =
        GetPixels(picture.Bitmap(), picture.Width(), -picture.Height(), 32, info);
    const JpegSource source{picture.Width(), picture.Height(), pixels,
                            static_cast<std::ptrdiff_t>(4) * picture.Width(), 4};
    stream = *EncodeJpeg(source, quality);
  }
  OutputFile file(path);
  if (!stream.empty()) file.Write(stream.data(), stream.size());
}

}  // namespace vistrel
