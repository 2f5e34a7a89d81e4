#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

namespace vistrel {

// Pixels in memory, blue, green, red (and an unused fourth byte at 4 bytes per
// pixel), as the platform hands them out.
struct JpegSource {
  int width = 0;
  int height = 0;
  const std::uint8_t* topRow = nullptr;
  // Bytes from one row to the row below it (negative for bottom-up buffers).
  std::ptrdiff_t rowStride = 0;
  int bytesPerPixel = 4;  // 3 or 4
};

// The qualities the encoder takes; anything else writes nothing.
constexpr bool JpegQualityInRange(int quality) { return quality >= 1 && quality <= 100; }

// The complete baseline JFIF stream of the image at that quality, built in
// memory. Nothing (nullopt) when the quality is out of range; an empty stream
// when a side of the image is 0. An encoder failure raises
// "Erreur JPEG #<library message number>" and prints nothing.
std::optional<std::vector<std::uint8_t>> EncodeJpeg(const JpegSource& source, int quality);

}  // namespace vistrel
