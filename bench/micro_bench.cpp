// The portable writers beside their limits, on one screen-sized 32-bit image:
// the BMP layout plus its file write against one write of the same bytes, and
// the JPEG encoder against libjpeg-turbo compressing the same pixels itself.
//
//   vistrel_micro_bench [--screen=FILE.ppm] [--out_dir=DIR] [benchmark flags]
//
// Without --screen a generated desktop-like image stands in (for smoke runs);
// bench/make_screen.py draws the one the figures are taken on.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>
#include <jpeglib.h>

#include "imageio/bmp_format.h"
#include "imageio/jpeg_encoder.h"

namespace {

// Blue, green, red, unused: the platform's 32-bit layout.
struct Screen {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> topDown;   // as JpegWriter asks for it
  std::vector<std::uint8_t> bottomUp;  // as a BMP file stores it
  std::string origin;
};

void FinishScreen(Screen& s) {
  const std::size_t row = static_cast<std::size_t>(s.width) * 4;
  s.bottomUp.resize(s.topDown.size());
  for (int y = 0; y < s.height; ++y)
    std::memcpy(&s.bottomUp[row * static_cast<std::size_t>(s.height - 1 - y)], &s.topDown[row * y],
                row);
}

Screen LoadPpm(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string magic;
  int maxval = 0;
  Screen s;
  in >> magic >> s.width >> s.height >> maxval;
  in.get();
  if (!in || magic != "P6" || maxval != 255 || s.width <= 0 || s.height <= 0)
    throw std::runtime_error("not an 8-bit binary PPM: " + path);
  std::vector<std::uint8_t> rgb(static_cast<std::size_t>(s.width) * s.height * 3);
  in.read(reinterpret_cast<char*>(rgb.data()), static_cast<std::streamsize>(rgb.size()));
  if (!in) throw std::runtime_error("short PPM: " + path);
  s.topDown.resize(static_cast<std::size_t>(s.width) * s.height * 4);
  for (std::size_t i = 0, j = 0; i < rgb.size(); i += 3, j += 4) {
    s.topDown[j] = rgb[i + 2];
    s.topDown[j + 1] = rgb[i + 1];
    s.topDown[j + 2] = rgb[i];
    s.topDown[j + 3] = 0;
  }
  s.origin = path;
  FinishScreen(s);
  return s;
}

// Gradients, window-like panels and rows of glyph-sized marks: not a flat
// colour, so the encoder does real work. Only for runs without a drawn screen.
Screen GeneratedScreen(int width, int height) {
  Screen s;
  s.width = width;
  s.height = height;
  s.topDown.resize(static_cast<std::size_t>(width) * height * 4);
  std::uint32_t seed = 12345;
  auto next = [&seed] { return seed = seed * 1664525u + 1013904223u; };
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      std::uint8_t* p = &s.topDown[(static_cast<std::size_t>(y) * width + x) * 4];
      const bool panel = (x / 640 + y / 360) % 2 == 0;
      const bool glyph =
          panel && (y % 20) > 4 && (y % 20) < 16 && (next() >> 24) < 110 && (x / 7) % 9 != 0;
      const std::uint8_t base = panel ? 245 : static_cast<std::uint8_t>((x * 3 + y) / 20);
      p[0] = glyph ? 30 : base;
      p[1] = glyph ? 30 : static_cast<std::uint8_t>(panel ? 245 : (y * 255) / height);
      p[2] = glyph ? 40 : static_cast<std::uint8_t>(panel ? 245 : (x * 255) / width);
      p[3] = 0;
    }
  }
  s.origin = "generated";
  FinishScreen(s);
  return s;
}

// A file created anew each iteration, as auto-record does; removed between
// iterations (untimed) so the page cache never fills with old captures.
class OutFile {
 public:
  explicit OutFile(const std::string& path)
      : fd_(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644)) {
    if (fd_ < 0) throw std::runtime_error("cannot create " + path);
  }
  ~OutFile() { ::close(fd_); }
  void Write(const void* data, std::size_t size) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    while (size > 0) {
      const ssize_t n = ::write(fd_, bytes, size);
      if (n <= 0) throw std::runtime_error("short write");
      bytes += n;
      size -= static_cast<std::size_t>(n);
    }
  }

 private:
  int fd_;
};

vistrel::BmpImage BmpOf(const Screen& s) {
  vistrel::BmpImage image;
  image.width = s.width;
  image.height = s.height;
  image.bitsPerPixel = 32;
  image.pixels = s.bottomUp.data();
  return image;
}

// The whole BMP file in one buffer: what a single write would hand the system.
std::vector<std::uint8_t> BmpFileBytes(const Screen& s) {
  std::vector<std::uint8_t> file;
  vistrel::WriteBmp(BmpOf(s), [&](const void* data, std::size_t size) {
    const auto* bytes = static_cast<const std::uint8_t*>(data);
    file.insert(file.end(), bytes, bytes + size);
  });
  return file;
}

// libjpeg-turbo on its own: the same defaults and quality, the 32-bit rows
// read as they are, all rows in one call, the stream in the library's buffer.
struct LibjpegStream {
  unsigned char* data = nullptr;
  unsigned long size = 0;
  ~LibjpegStream() { std::free(data); }
};

void LibjpegCompress(const Screen& s, int quality, LibjpegStream& out) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr jerr;
  cinfo.err = jpeg_std_error(&jerr);
  jpeg_create_compress(&cinfo);
  jpeg_mem_dest(&cinfo, &out.data, &out.size);
  cinfo.image_width = static_cast<JDIMENSION>(s.width);
  cinfo.image_height = static_cast<JDIMENSION>(s.height);
  cinfo.input_components = 4;
  cinfo.in_color_space = JCS_EXT_BGRX;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<JSAMPROW> rows(static_cast<std::size_t>(s.height));
  for (int y = 0; y < s.height; ++y)
    rows[y] = const_cast<JSAMPROW>(&s.topDown[static_cast<std::size_t>(y) * s.width * 4]);
  while (cinfo.next_scanline < cinfo.image_height)
    jpeg_write_scanlines(&cinfo, rows.data() + cinfo.next_scanline,
                         cinfo.image_height - cinfo.next_scanline);
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
}

vistrel::JpegSource JpegSourceOf(const Screen& s) {
  return vistrel::JpegSource{s.width, s.height, s.topDown.data(),
                             static_cast<std::ptrdiff_t>(s.width) * 4, 4};
}

double Min(const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); }
double Max(const std::vector<double>& v) { return *std::max_element(v.begin(), v.end()); }

template <class Body>
void FileLoop(benchmark::State& state, const std::string& path, std::size_t bytes, Body body) {
  for (auto _ : state) {
    body();
    state.PauseTiming();
    ::unlink(path.c_str());
    state.ResumeTiming();
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

void Register(const char* name, std::function<void(benchmark::State&)> body) {
  benchmark::RegisterBenchmark(name, body)
      ->Unit(benchmark::kMillisecond)
      ->UseRealTime()
      ->ComputeStatistics("min", Min)
      ->ComputeStatistics("max", Max);
}

std::string TakeFlag(int& argc, char** argv, const std::string& name, const std::string& fallback) {
  const std::string prefix = "--" + name + "=";
  std::string value = fallback;
  int out = 1;
  for (int i = 1; i < argc; ++i) {
    if (std::strncmp(argv[i], prefix.c_str(), prefix.size()) == 0)
      value = argv[i] + prefix.size();
    else
      argv[out++] = argv[i];
  }
  argc = out;
  return value;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string screenPath = TakeFlag(argc, argv, "screen", "");
  const char* tmp = std::getenv("TMPDIR");
  const std::string outDir = TakeFlag(argc, argv, "out_dir", tmp && *tmp ? tmp : "/tmp");
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;

  static const Screen screen =
      screenPath.empty() ? GeneratedScreen(1920, 1080) : LoadPpm(screenPath);
  static const std::vector<std::uint8_t> bmpFile = BmpFileBytes(screen);
  const std::string stem = outDir + "/vistrel-micro-" + std::to_string(::getpid());
  static const std::string bmpPath = stem + ".bmp";
  static const std::string jpgPath = stem + ".jpg";

  benchmark::AddCustomContext("screen", screen.origin + " " + std::to_string(screen.width) + "x" +
                                            std::to_string(screen.height) + "x32");
  benchmark::AddCustomContext("out_dir", outDir);
  benchmark::AddCustomContext("libjpeg", "API " + std::to_string(JPEG_LIB_VERSION));
  for (int quality : {85, 100}) {
    LibjpegStream direct;
    LibjpegCompress(screen, quality, direct);
    const auto ours = vistrel::EncodeJpeg(JpegSourceOf(screen), quality);
    const bool same = ours && ours->size() == direct.size &&
                      std::memcmp(ours->data(), direct.data, direct.size) == 0;
    benchmark::AddCustomContext(
        "jpeg_q" + std::to_string(quality),
        std::to_string(direct.size) + " bytes, " + (same ? "identical streams" : "streams differ"));
  }

  Register("bmp/raw_write", [](benchmark::State& state) {
    FileLoop(state, bmpPath, bmpFile.size(),
             [] { OutFile(bmpPath).Write(bmpFile.data(), bmpFile.size()); });
  });
  Register("bmp/BmpWriter", [](benchmark::State& state) {
    FileLoop(state, bmpPath, bmpFile.size(), [] {
      OutFile file(bmpPath);
      vistrel::WriteBmp(BmpOf(screen),
                        [&](const void* data, std::size_t size) { file.Write(data, size); });
    });
  });
  for (int quality : {85, 100}) {
    const std::string q = std::to_string(quality);
    Register(("jpeg_q" + q + "/libjpeg_turbo").c_str(), [quality](benchmark::State& state) {
      FileLoop(state, jpgPath, screen.topDown.size(), [quality] {
        LibjpegStream stream;
        LibjpegCompress(screen, quality, stream);
        OutFile(jpgPath).Write(stream.data, stream.size);
      });
    });
    Register(("jpeg_q" + q + "/JpegWriter").c_str(), [quality](benchmark::State& state) {
      FileLoop(state, jpgPath, screen.topDown.size(), [quality] {
        const auto stream = vistrel::EncodeJpeg(JpegSourceOf(screen), quality);
        OutFile(jpgPath).Write(stream->data(), stream->size());
      });
    });
  }
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  ::unlink(bmpPath.c_str());
  ::unlink(jpgPath.c_str());
  return 0;
}
