#include "imageio/bmp_format.h"

#include <cstring>
#include <vector>

namespace vistrel {

namespace {

void Put16(std::uint8_t* at, std::uint32_t value) {
  at[0] = static_cast<std::uint8_t>(value);
  at[1] = static_cast<std::uint8_t>(value >> 8);
}

void Put32(std::uint8_t* at, std::uint32_t value) {
  Put16(at, value);
  Put16(at + 2, value >> 16);
}

std::size_t PixelBytes(const BmpImage& image) {
  return BmpRowBytes(image.width, image.bitsPerPixel) * static_cast<std::size_t>(image.height);
}

}  // namespace

std::size_t BmpRowBytes(std::int32_t width, int bitsPerPixel) {
  const std::size_t bits = static_cast<std::size_t>(width) * static_cast<std::size_t>(bitsPerPixel);
  return (bits + 31) / 32 * 4;
}

std::size_t BmpColourCount(int bitsPerPixel) {
  return bitsPerPixel <= 8 ? std::size_t{1} << bitsPerPixel : 0;
}

std::size_t BmpFileSize(const BmpImage& image) {
  return kBmpFileHeaderSize + kBmpInfoHeaderSize + 4 * BmpColourCount(image.bitsPerPixel) +
         PixelBytes(image);
}

void WriteBmp(const BmpImage& image, const ByteSink& write) {
  const std::size_t tableBytes = 4 * BmpColourCount(image.bitsPerPixel);
  const std::size_t pixelOffset = kBmpFileHeaderSize + kBmpInfoHeaderSize + tableBytes;
  const std::size_t pixelBytes = PixelBytes(image);

  std::vector<std::uint8_t> head(pixelOffset, 0);
  std::uint8_t* h = head.data();
  h[0] = 'B';
  h[1] = 'M';
  Put32(h + 2, static_cast<std::uint32_t>(pixelOffset + pixelBytes));
  Put32(h + 10, static_cast<std::uint32_t>(pixelOffset));
  std::uint8_t* info = h + kBmpFileHeaderSize;
  Put32(info + 0, kBmpInfoHeaderSize);
  Put32(info + 4, static_cast<std::uint32_t>(image.width));
  Put32(info + 8, static_cast<std::uint32_t>(image.height));
  Put16(info + 12, 1);
  Put16(info + 14, image.bitsPerPixel);
  Put32(info + 16, 0);  // BI_RGB
  Put32(info + 20, static_cast<std::uint32_t>(pixelBytes));
  Put32(info + 24, static_cast<std::uint32_t>(image.xPelsPerMeter));
  Put32(info + 28, static_cast<std::uint32_t>(image.yPelsPerMeter));
  Put32(info + 32, image.coloursUsed);
  Put32(info + 36, image.coloursImportant);
  if (tableBytes && image.colourTable)
    std::memcpy(info + kBmpInfoHeaderSize, image.colourTable, tableBytes);

  write(head.data(), head.size());
  if (pixelBytes) write(image.pixels, pixelBytes);
}

}  // namespace vistrel
