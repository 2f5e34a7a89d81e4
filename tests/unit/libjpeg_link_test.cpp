// The JPEG library the program is built against: API 62, round trip in memory.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

namespace {

TEST(LibJpeg, IsApi62AndRoundTripsASmallImageInMemory) {
  EXPECT_EQ(JPEG_LIB_VERSION, 62);
  const int width = 16, height = 8;
  std::vector<unsigned char> rgb(width * height * 3);
  for (int i = 0; i < width * height; ++i) {
    rgb[i * 3] = 200;
    rgb[i * 3 + 1] = 40;
    rgb[i * 3 + 2] = 40;
  }
  jpeg_compress_struct c{};
  jpeg_error_mgr err{};
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char* out = nullptr;
  unsigned long outSize = 0;
  jpeg_mem_dest(&c, &out, &outSize);
  c.image_width = width;
  c.image_height = height;
  c.input_components = 3;
  c.in_color_space = JCS_RGB;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, 90, TRUE);
  jpeg_start_compress(&c, TRUE);
  while (c.next_scanline < c.image_height) {
    JSAMPROW row = &rgb[c.next_scanline * width * 3];
    jpeg_write_scanlines(&c, &row, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  ASSERT_GT(outSize, 100u);

  jpeg_decompress_struct d{};
  d.err = jpeg_std_error(&err);
  jpeg_create_decompress(&d);
  jpeg_mem_src(&d, out, outSize);
  ASSERT_EQ(jpeg_read_header(&d, TRUE), JPEG_HEADER_OK);
  jpeg_start_decompress(&d);
  EXPECT_EQ(d.output_width, static_cast<unsigned>(width));
  EXPECT_EQ(d.output_height, static_cast<unsigned>(height));
  std::vector<unsigned char> row(width * 3);
  JSAMPROW rowPtr = row.data();
  while (d.output_scanline < d.output_height) {
    jpeg_read_scanlines(&d, &rowPtr, 1);
    EXPECT_NEAR(row[0], 200, 6);
    EXPECT_NEAR(row[1], 40, 6);
  }
  jpeg_finish_decompress(&d);
  jpeg_destroy_decompress(&d);
  std::free(out);
}

}  // namespace
