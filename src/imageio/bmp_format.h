#pragma once
#include <cstddef>
#include <cstdint>
#include <functional>

namespace vistrel {

// An image in device-independent form, as a BMP file stores it.
struct BmpImage {
  std::int32_t width = 0;
  std::int32_t height = 0;
  std::uint16_t bitsPerPixel = 32;
  // Bottom row first, each row padded to a multiple of 4 bytes
  // (BmpRowBytes x height bytes).
  const std::uint8_t* pixels = nullptr;
  // Blue, green, red, 0 per entry; BmpColourCount entries, read only at
  // 8 bits per pixel or fewer.
  const std::uint8_t* colourTable = nullptr;
  // Passed through as the platform reports them.
  std::int32_t xPelsPerMeter = 0;
  std::int32_t yPelsPerMeter = 0;
  std::uint32_t coloursUsed = 0;
  std::uint32_t coloursImportant = 0;
};

inline constexpr std::size_t kBmpFileHeaderSize = 14;
inline constexpr std::size_t kBmpInfoHeaderSize = 40;

// Bytes of one stored row: bitsPerPixel x width rounded up to 4 bytes.
std::size_t BmpRowBytes(std::int32_t width, int bitsPerPixel);
// Colour table entries: 2^bitsPerPixel at 8 bits or fewer, else 0.
std::size_t BmpColourCount(int bitsPerPixel);
// Size of the whole file.
std::size_t BmpFileSize(const BmpImage& image);

// Writes the file through `write` in two pieces: the headers with the colour
// table, then the pixel rows.
using ByteSink = std::function<void(const void* data, std::size_t size)>;
void WriteBmp(const BmpImage& image, const ByteSink& write);

}  // namespace vistrel
