// The BMP file layout: headers, colour table and pixel rows.
#include "imageio/bmp_format.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace vistrel {
namespace {

struct Written {
  std::vector<std::uint8_t> bytes;
  int calls = 0;
};

Written Write(const BmpImage& image) {
  Written w;
  WriteBmp(image, [&](const void* data, std::size_t size) {
    ++w.calls;
    const auto* p = static_cast<const std::uint8_t*>(data);
    w.bytes.insert(w.bytes.end(), p, p + size);
  });
  return w;
}

std::uint32_t U32(const std::vector<std::uint8_t>& b, std::size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}
std::uint16_t U16(const std::vector<std::uint8_t>& b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}

TEST(BmpFormat, OnePixelAt32BitsIsA58ByteFile) {
  const std::uint8_t pixel[4] = {0x10, 0x20, 0x30, 0x00};  // blue, green, red, unused
  BmpImage image;
  image.width = 1;
  image.height = 1;
  image.bitsPerPixel = 32;
  image.pixels = pixel;
  const Written w = Write(image);
  ASSERT_EQ(w.bytes.size(), 58u);
  EXPECT_EQ(BmpFileSize(image), 58u);
  EXPECT_EQ(w.bytes[0], 0x42);
  EXPECT_EQ(w.bytes[1], 0x4D);
  EXPECT_EQ(U32(w.bytes, 2), 58u);   // file size
  EXPECT_EQ(U32(w.bytes, 6), 0u);    // reserved
  EXPECT_EQ(U32(w.bytes, 10), 54u);  // pixel offset
  EXPECT_EQ(U32(w.bytes, 14), 40u);  // info header size
  EXPECT_EQ(U32(w.bytes, 18), 1u);   // width
  EXPECT_EQ(U32(w.bytes, 22), 1u);   // height, positive: bottom-up
  EXPECT_EQ(U16(w.bytes, 26), 1u);   // planes
  EXPECT_EQ(U16(w.bytes, 28), 32u);  // bits per pixel
  EXPECT_EQ(U32(w.bytes, 30), 0u);   // BI_RGB
  EXPECT_EQ(U32(w.bytes, 34), 4u);   // image size
  EXPECT_EQ(std::vector<std::uint8_t>(w.bytes.begin() + 54, w.bytes.end()),
            std::vector<std::uint8_t>(pixel, pixel + 4));
}

TEST(BmpFormat, WidthByHeightAt32BitsTakesFourBytesAPixelWithRowsInTheGivenOrder) {
  const int width = 7, height = 5;
  std::vector<std::uint8_t> pixels(4 * width * height);
  for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<std::uint8_t>(i * 7 + 3);
  BmpImage image;
  image.width = width;
  image.height = height;
  image.pixels = pixels.data();
  image.xPelsPerMeter = 3780;
  image.yPelsPerMeter = 3779;
  const Written w = Write(image);
  ASSERT_EQ(w.bytes.size(), 54u + 4 * width * height);
  EXPECT_EQ(U32(w.bytes, 2), w.bytes.size());
  EXPECT_EQ(U32(w.bytes, 18), static_cast<std::uint32_t>(width));
  EXPECT_EQ(U32(w.bytes, 22), static_cast<std::uint32_t>(height));
  EXPECT_EQ(U32(w.bytes, 34), 4u * width * height);
  EXPECT_EQ(U32(w.bytes, 38), 3780u);  // as the platform reported them
  EXPECT_EQ(U32(w.bytes, 42), 3779u);
  EXPECT_EQ(std::vector<std::uint8_t>(w.bytes.begin() + 54, w.bytes.end()), pixels);
  // Headers in one piece, rows in another.
  EXPECT_EQ(w.calls, 2);
}

TEST(BmpFormat, RowsAt24BitsArePaddedToFourBytes) {
  EXPECT_EQ(BmpRowBytes(1, 24), 4u);
  EXPECT_EQ(BmpRowBytes(3, 24), 12u);
  EXPECT_EQ(BmpRowBytes(4, 24), 12u);
  EXPECT_EQ(BmpRowBytes(5, 24), 16u);
  const int width = 3, height = 2;
  std::vector<std::uint8_t> pixels(BmpRowBytes(width, 24) * height, 0xAB);
  BmpImage image;
  image.width = width;
  image.height = height;
  image.bitsPerPixel = 24;
  image.pixels = pixels.data();
  const Written w = Write(image);
  ASSERT_EQ(w.bytes.size(), 54u + 12 * 2);
  EXPECT_EQ(U16(w.bytes, 28), 24u);
  EXPECT_EQ(U32(w.bytes, 10), 54u);  // no colour table above 8 bits
  EXPECT_EQ(U32(w.bytes, 34), 24u);
}

TEST(BmpFormat, EightBitsCarryAColourTableOf256Entries) {
  std::vector<std::uint8_t> table(256 * 4);
  for (int i = 0; i < 256; ++i) {
    table[i * 4] = static_cast<std::uint8_t>(i);            // blue
    table[i * 4 + 1] = static_cast<std::uint8_t>(255 - i);  // green
    table[i * 4 + 2] = static_cast<std::uint8_t>(i / 2);    // red
    table[i * 4 + 3] = 0;
  }
  const int width = 5, height = 3;  // 5 bytes a row, padded to 8
  std::vector<std::uint8_t> pixels(8 * height);
  for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<std::uint8_t>(i);
  BmpImage image;
  image.width = width;
  image.height = height;
  image.bitsPerPixel = 8;
  image.pixels = pixels.data();
  image.colourTable = table.data();
  const Written w = Write(image);
  const std::size_t offset = 54 + 1024;
  ASSERT_EQ(w.bytes.size(), offset + 24);
  EXPECT_EQ(U32(w.bytes, 2), offset + 24);
  EXPECT_EQ(U32(w.bytes, 10), offset);
  EXPECT_EQ(U32(w.bytes, 14), 40u);
  EXPECT_EQ(U16(w.bytes, 28), 8u);
  EXPECT_EQ(U32(w.bytes, 34), 24u);
  EXPECT_EQ(std::vector<std::uint8_t>(w.bytes.begin() + 54, w.bytes.begin() + offset), table);
  EXPECT_EQ(std::vector<std::uint8_t>(w.bytes.begin() + offset, w.bytes.end()), pixels);
  EXPECT_EQ(w.calls, 2);
}

TEST(BmpFormat, ColourTableSizeFollowsTheDepth) {
  EXPECT_EQ(BmpColourCount(1), 2u);
  EXPECT_EQ(BmpColourCount(4), 16u);
  EXPECT_EQ(BmpColourCount(8), 256u);
  EXPECT_EQ(BmpColourCount(16), 0u);
  EXPECT_EQ(BmpColourCount(24), 0u);
  EXPECT_EQ(BmpColourCount(32), 0u);
  // One bit a pixel: 33 pixels need 5 bytes, padded to 8.
  EXPECT_EQ(BmpRowBytes(33, 1), 8u);
  BmpImage image;
  image.width = 33;
  image.height = 2;
  image.bitsPerPixel = 1;
  EXPECT_EQ(BmpFileSize(image), 54u + 8 + 16);
}

}  // namespace
}  // namespace vistrel
