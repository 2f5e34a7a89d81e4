// JPEG encoding of an in-memory image, checked by decoding it again.
#include "imageio/jpeg_encoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

// jerror.h needs the declarations of jpeglib.h.
#include <jpeglib.h>

#include <jerror.h>

#include "toolkit/error.h"

namespace vistrel {
namespace {

struct Bgrx {
  std::uint8_t b, g, r;
};

// A 32-bit top-down image filled by rows of colour bands.
struct Image32 {
  int width, height;
  std::vector<std::uint8_t> bytes;
  Image32(int w, int h, Bgrx fill) : width(w), height(h), bytes(4 * w * h) {
    for (int i = 0; i < w * h; ++i) Set(i, fill);
  }
  void Set(int i, Bgrx c) {
    bytes[4 * i] = c.b;
    bytes[4 * i + 1] = c.g;
    bytes[4 * i + 2] = c.r;
    bytes[4 * i + 3] = 0x5A;  // carries no colour
  }
  JpegSource Source() const { return JpegSource{width, height, bytes.data(), 4 * width, 4}; }
};

struct Decoded {
  int width = 0, height = 0, components = 0;
  bool progressive = false;
  J_COLOR_SPACE jpegColourSpace = JCS_UNKNOWN;
  std::vector<std::uint8_t> rgb;
  const std::uint8_t* At(int x, int y) const { return &rgb[(y * width + x) * 3]; }
};

Decoded Decode(const std::vector<std::uint8_t>& stream) {
  Decoded out;
  jpeg_decompress_struct d{};
  jpeg_error_mgr err{};
  d.err = jpeg_std_error(&err);
  jpeg_create_decompress(&d);
  jpeg_mem_src(&d, stream.data(), stream.size());
  EXPECT_EQ(jpeg_read_header(&d, TRUE), JPEG_HEADER_OK);
  out.jpegColourSpace = d.jpeg_color_space;
  out.components = d.num_components;
  out.progressive = d.progressive_mode;
  d.out_color_space = JCS_RGB;
  jpeg_start_decompress(&d);
  out.width = static_cast<int>(d.output_width);
  out.height = static_cast<int>(d.output_height);
  out.rgb.resize(3 * out.width * out.height);
  while (d.output_scanline < d.output_height) {
    JSAMPROW row = &out.rgb[3 * out.width * d.output_scanline];
    jpeg_read_scanlines(&d, &row, 1);
  }
  jpeg_finish_decompress(&d);
  jpeg_destroy_decompress(&d);
  return out;
}

// The frame markers and quantisation table precisions up to the first scan.
struct Markers {
  std::vector<int> frames;         // SOFn marker codes
  std::vector<int> dqtPrecisions;  // 0: 8-bit tables (baseline), 1: 16-bit
  bool jfif = false;
};

Markers ReadMarkers(const std::vector<std::uint8_t>& s) {
  Markers m;
  EXPECT_GE(s.size(), 4u);
  EXPECT_EQ(s[0], 0xFF);
  EXPECT_EQ(s[1], 0xD8);
  std::size_t at = 2;
  while (at + 4 <= s.size() && s[at] == 0xFF) {
    const int code = s[at + 1];
    const std::size_t length = s[at + 2] << 8 | s[at + 3];
    if (code >= 0xC0 && code <= 0xCF && code != 0xC4 && code != 0xC8 && code != 0xCC)
      m.frames.push_back(code);
    if (code == 0xDB) {
      for (std::size_t t = at + 4; t < at + 2 + length;) {
        const int precision = s[t] >> 4;
        m.dqtPrecisions.push_back(precision);
        t += 1 + (precision ? 128 : 64);
      }
    }
    if (code == 0xE0 && length >= 7 &&
        std::string(s.begin() + at + 4, s.begin() + at + 9) == std::string("JFIF\0", 5))
      m.jfif = true;
    if (code == 0xDA) break;
    at += 2 + length;
  }
  return m;
}

void ExpectBaselineJfif(const std::vector<std::uint8_t>& stream) {
  const Markers m = ReadMarkers(stream);
  EXPECT_TRUE(m.jfif);
  EXPECT_EQ(m.frames, std::vector<int>{0xC0});
  ASSERT_FALSE(m.dqtPrecisions.empty());
  for (int p : m.dqtPrecisions) EXPECT_EQ(p, 0);
  EXPECT_EQ(stream[stream.size() - 2], 0xFF);
  EXPECT_EQ(stream[stream.size() - 1], 0xD9);
}

TEST(JpegEncoder, DecodesToTheImageSizeAsABaselineJfifInYCbCr) {
  const Image32 image(37, 21, {40, 120, 200});
  const auto stream = EncodeJpeg(image.Source(), 85);
  ASSERT_TRUE(stream.has_value());
  ExpectBaselineJfif(*stream);
  const Decoded d = Decode(*stream);
  EXPECT_EQ(d.width, 37);
  EXPECT_EQ(d.height, 21);
  EXPECT_EQ(d.components, 3);
  EXPECT_EQ(d.jpegColourSpace, JCS_YCbCr);
  EXPECT_FALSE(d.progressive);
}

TEST(JpegEncoder, ColoursKeepTheirPlace) {
  for (const Bgrx colour : {Bgrx{0, 0, 255}, Bgrx{0, 255, 0}, Bgrx{255, 0, 0}}) {
    const Image32 image(16, 16, colour);
    const auto stream = EncodeJpeg(image.Source(), 100);
    ASSERT_TRUE(stream.has_value());
    const Decoded d = Decode(*stream);
    const std::uint8_t* p = d.At(8, 8);
    EXPECT_NEAR(p[0], colour.r, 3);
    EXPECT_NEAR(p[1], colour.g, 3);
    EXPECT_NEAR(p[2], colour.b, 3);
  }
}

TEST(JpegEncoder, RowsGoFromTheTopDown) {
  // Red above blue, given both top-down and as a bottom-up 24-bit buffer.
  const int w = 16, h = 32;
  Image32 top(w, h, {255, 0, 0});
  for (int i = 0; i < w * h / 2; ++i) top.Set(i, {0, 0, 255});
  const Decoded a = Decode(*EncodeJpeg(top.Source(), 95));

  const std::size_t stride = (3 * w + 3) / 4 * 4;
  std::vector<std::uint8_t> bottomUp(stride * h, 0);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      std::uint8_t* p = &bottomUp[(h - 1 - y) * stride + 3 * x];
      p[0] = y < h / 2 ? 0 : 255;
      p[2] = y < h / 2 ? 255 : 0;
    }
  const JpegSource source{w, h, bottomUp.data() + (h - 1) * stride,
                          -static_cast<std::ptrdiff_t>(stride), 3};
  const Decoded b = Decode(*EncodeJpeg(source, 95));

  for (const Decoded* d : {&a, &b}) {
    EXPECT_GT(d->At(8, 4)[0], 240);
    EXPECT_LT(d->At(8, 4)[2], 15);
    EXPECT_LT(d->At(8, 28)[0], 15);
    EXPECT_GT(d->At(8, 28)[2], 240);
  }
}

TEST(JpegEncoder, QualitiesOneAndHundredAreBaselineAndOutsideGivesNothing) {
  Image32 image(64, 48, {0, 0, 0});
  for (int i = 0; i < 64 * 48; ++i)
    image.Set(i, {static_cast<std::uint8_t>(i * 13), static_cast<std::uint8_t>(i / 7),
                  static_cast<std::uint8_t>(i)});
  const auto low = EncodeJpeg(image.Source(), 1);
  const auto high = EncodeJpeg(image.Source(), 100);
  ASSERT_TRUE(low.has_value());
  ASSERT_TRUE(high.has_value());
  // Quality 1 would need 16-bit tables without forced baseline.
  ExpectBaselineJfif(*low);
  ExpectBaselineJfif(*high);
  EXPECT_LT(low->size(), high->size());
  EXPECT_EQ(Decode(*low).width, 64);
  EXPECT_EQ(Decode(*high).height, 48);

  for (int quality : {0, 101, -5, 150})
    EXPECT_FALSE(EncodeJpeg(image.Source(), quality).has_value()) << quality;
  EXPECT_FALSE(JpegQualityInRange(0));
  EXPECT_TRUE(JpegQualityInRange(1));
  EXPECT_TRUE(JpegQualityInRange(100));
  EXPECT_FALSE(JpegQualityInRange(101));
}

TEST(JpegEncoder, AnEmptySideGivesAnEmptyStream) {
  const Image32 image(0, 0, {0, 0, 0});
  for (const JpegSource source :
       {JpegSource{0, 5, image.bytes.data(), 0, 4}, JpegSource{5, 0, image.bytes.data(), 20, 4}}) {
    const auto stream = EncodeJpeg(source, 85);
    ASSERT_TRUE(stream.has_value());
    EXPECT_TRUE(stream->empty());
  }
  // The quality test still comes first.
  EXPECT_FALSE(EncodeJpeg(JpegSource{0, 0, nullptr, 0, 4}, 0).has_value());
}

TEST(JpegEncoder, LargeImagesGrowTheStreamBeyondItsFirstGuess) {
  // Noise compresses badly: the stream outgrows the initial buffer.
  Image32 image(256, 256, {0, 0, 0});
  std::uint32_t seed = 12345;
  for (int i = 0; i < 256 * 256; ++i) {
    seed = seed * 1103515245 + 12345;
    image.Set(i, {static_cast<std::uint8_t>(seed >> 8), static_cast<std::uint8_t>(seed >> 16),
                  static_cast<std::uint8_t>(seed >> 24)});
  }
  const auto stream = EncodeJpeg(image.Source(), 100);
  ASSERT_TRUE(stream.has_value());
  EXPECT_GT(stream->size(), 256u * 256 / 4 + 4096);
  ExpectBaselineJfif(*stream);
  const Decoded d = Decode(*stream);
  EXPECT_EQ(d.width, 256);
  EXPECT_EQ(d.height, 256);
}

// The stream a plain libjpeg gets from 24-bit RGB rows, the file's defining
// input, with the same defaults and forced-baseline quality.
std::vector<std::uint8_t> ReferenceFromRgb(const Image32& image, int quality) {
  std::vector<std::uint8_t> rgb;
  for (std::size_t i = 0; i < image.bytes.size(); i += 4)
    rgb.insert(rgb.end(), {image.bytes[i + 2], image.bytes[i + 1], image.bytes[i]});
  jpeg_compress_struct c{};
  jpeg_error_mgr err{};
  c.err = jpeg_std_error(&err);
  jpeg_create_compress(&c);
  unsigned char* data = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&c, &data, &size);
  c.image_width = static_cast<JDIMENSION>(image.width);
  c.image_height = static_cast<JDIMENSION>(image.height);
  c.input_components = 3;
  c.in_color_space = JCS_RGB;
  jpeg_set_defaults(&c);
  jpeg_set_quality(&c, quality, TRUE);
  jpeg_start_compress(&c, TRUE);
  while (c.next_scanline < c.image_height) {
    JSAMPROW row = &rgb[3 * static_cast<std::size_t>(image.width) * c.next_scanline];
    jpeg_write_scanlines(&c, &row, 1);
  }
  jpeg_finish_compress(&c);
  jpeg_destroy_compress(&c);
  std::vector<std::uint8_t> stream(data, data + size);
  std::free(data);
  return stream;
}

TEST(JpegEncoder, EveryPixelLayoutGivesTheStreamOfTheRgbRows) {
  // Screen-like content: flat areas, edges and noise, not a multiple of 16.
  const int w = 45, h = 29;
  Image32 image(w, h, {0, 0, 0});
  std::uint32_t seed = 7;
  for (int i = 0; i < w * h; ++i) {
    seed = seed * 1103515245 + 12345;
    const int x = i % w, y = i / w;
    image.Set(
        i, x < 15 ? Bgrx{240, 240, 240}
           : y < 10
               ? Bgrx{static_cast<std::uint8_t>(x * 5), 30, static_cast<std::uint8_t>(y * 9)}
               : Bgrx{static_cast<std::uint8_t>(seed >> 8), static_cast<std::uint8_t>(seed >> 16),
                      static_cast<std::uint8_t>(seed >> 24)});
  }
  // The same pixels bottom-up at 32 bits, and top-down at 24 bits with padded rows.
  std::vector<std::uint8_t> bottomUp(image.bytes.size());
  const int stride24 = (3 * w + 3) / 4 * 4;
  std::vector<std::uint8_t> packed(static_cast<std::size_t>(stride24) * h, 0xEE);
  for (int y = 0; y < h; ++y) {
    std::copy_n(&image.bytes[4 * w * y], 4 * w, &bottomUp[4 * w * (h - 1 - y)]);
    for (int x = 0; x < w; ++x)
      std::copy_n(&image.bytes[4 * (w * y + x)], 3, &packed[stride24 * y + 3 * x]);
  }
  for (int quality : {1, 85, 100}) {
    SCOPED_TRACE(quality);
    const auto reference = ReferenceFromRgb(image, quality);
    const auto topDown = EncodeJpeg(image.Source(), quality);
    const auto fromBottom =
        EncodeJpeg(JpegSource{w, h, &bottomUp[4 * w * (h - 1)], -4 * w, 4}, quality);
    const auto from24 = EncodeJpeg(JpegSource{w, h, packed.data(), stride24, 3}, quality);
    ASSERT_TRUE(topDown && fromBottom && from24);
    EXPECT_EQ(*topDown, reference);
    EXPECT_EQ(*fromBottom, reference);
    EXPECT_EQ(*from24, reference);
  }
}

TEST(JpegEncoder, LibraryErrorRaisesItsMessageNumberAndPrintsNothing) {
  // Wider than the library's maximum dimension.
  const int width = JPEG_MAX_DIMENSION + 1;
  std::vector<std::uint8_t> row(4 * static_cast<std::size_t>(width));
  const JpegSource source{width, 1, row.data(), static_cast<std::ptrdiff_t>(row.size()), 4};
  testing::internal::CaptureStderr();
  testing::internal::CaptureStdout();
  std::string message;
  try {
    EncodeJpeg(source, 85);
  } catch (const Error& e) {
    message = e.what();
  }
  const std::string err = testing::internal::GetCapturedStderr();
  const std::string out = testing::internal::GetCapturedStdout();
  EXPECT_EQ(message, "Erreur JPEG #" + std::to_string(JERR_IMAGE_TOO_BIG));
  EXPECT_EQ(err, "");
  EXPECT_EQ(out, "");
  // The encoder is usable again afterwards.
  const Image32 image(8, 8, {0, 0, 255});
  EXPECT_TRUE(EncodeJpeg(image.Source(), 85).has_value());
}

}  // namespace
}  // namespace vistrel
