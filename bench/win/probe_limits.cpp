// The limits the program is measured against: the bare grab-and-write burst
// and the program's writers beside the same bytes written from memory.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "imageio/image_writers_win.h"
#include "probe_common.h"
#include "toolkit/picture_win.h"
#include "toolkit/text_win.h"

namespace bench {

int Grab(const Args& args) {
  const int runs = std::atoi(Get(args, "runs", "20").c_str());
  const std::string dir = Get(args, "dir", ".");
  const bool jpeg = Get(args, "format", "bmp") == "jpg";
  const int quality = std::atoi(Get(args, "quality", "85").c_str());
  const bool clipboard = args.count("clipboard") > 0;
  const int w = ScreenWidth(), h = ScreenHeight();
  HWND owner = clipboard ? MessageWindow() : nullptr;

  // Header and pixels side by side, so a BMP goes out in one WriteFile.
  std::vector<std::uint8_t> file(54 + static_cast<std::size_t>(w) * h * 4);
  std::vector<double> blt, clip, dib, enc, write, total;
  for (int i = 0; i < runs; ++i) {
    const double t0 = Now();
    HBITMAP bitmap = GrabScreen(w, h);
    const double t1 = Now();
    if (clipboard) CopyToClipboard(owner, bitmap, w, h);
    const double t2 = Now();
    char name[64];
    std::snprintf(name, sizeof name, "\\limit-%04d.%s", i, jpeg ? "jpg" : "bmp");
    double t3, t4;
    bool ok;
    if (jpeg) {
      GetPixels32(bitmap, w, -h, file.data() + 54);
      t3 = Now();
      Stream stream;
      Compress(file.data() + 54, static_cast<std::ptrdiff_t>(w) * 4, w, h, quality, stream);
      t4 = Now();
      ok = WriteWhole(dir + name, stream.data, stream.size);
    } else {
      PutBmpHeader(file.data(), w, h);
      GetPixels32(bitmap, w, h, file.data() + 54);
      t3 = t4 = Now();
      ok = WriteWhole(dir + name, file.data(), static_cast<DWORD>(file.size()));
    }
    const double t5 = Now();
    DeleteObject(bitmap);
    if (!ok) {
      Print("{\"error\": \"cannot write " + dir + name + "\"}");
      return 2;
    }
    blt.push_back(t1 - t0);
    clip.push_back(t2 - t1);
    dib.push_back(t3 - t2);
    enc.push_back(t4 - t3);
    write.push_back(t5 - t4);
    total.push_back(Now() - t0);
  }
  std::string json = "{\"width\": " + std::to_string(w) + ", \"height\": " + std::to_string(h) +
                     ", \"bitblt\": " + Times(blt) + ", \"getdibits\": " + Times(dib) +
                     ", \"write\": " + Times(write) + ", \"total\": " + Times(total);
  if (jpeg) json += ", \"encode\": " + Times(enc);
  if (clipboard) json += ", \"clipboard\": " + Times(clip);
  Print(json + "}");
  if (owner) DestroyWindow(owner);
  return 0;
}

int Writers(const Args& args) {
  const int runs = std::atoi(Get(args, "runs", "7").c_str());
  const std::string dir = Get(args, "dir", ".");
  const int w = ScreenWidth(), h = ScreenHeight();
  vistrel::Picture picture;
  picture.NewBitmap(w, h);
  {
    HBITMAP grabbed = GrabScreen(w, h);
    HDC screen = GetDC(nullptr);
    HDC from = CreateCompatibleDC(screen);
    HGDIOBJ previous = SelectObject(from, grabbed);
    vistrel::PictureDC to(picture);
    BitBlt(to.Get(), 0, 0, w, h, from, 0, 0, SRCCOPY);
    SelectObject(from, previous);
    DeleteDC(from);
    ReleaseDC(nullptr, screen);
    DeleteObject(grabbed);
  }
  std::uint8_t header[54];
  PutBmpHeader(header, w, h);
  const std::ptrdiff_t stride = static_cast<std::ptrdiff_t>(picture.RowBytes());
  const std::uint8_t* topRow = picture.Bits() + stride * (h - 1);
  std::map<std::string, std::vector<double>> times;
  auto timed = [&](const std::string& name, const std::string& path, auto body) {
    const double t0 = Now();
    body(path);
    times[name].push_back(Now() - t0);
    DeleteFileW(vistrel::Wide(path).c_str());
  };
  // Each round runs every variant once, so a slower spell of the machine
  // weighs on all of them alike; the limit goes first in even rounds and
  // second in odd ones, so neither side always follows the other's write.
  for (int i = 0; i < runs; ++i) {
    auto limitBmp = [&] {
      timed("bmp_limit", dir + "\\w-limit.bmp", [&](const std::string& path) {
        WriteWhole(path, header, sizeof header, picture.Bits(),
                   static_cast<DWORD>(picture.SizeBytes()));
      });
    };
    auto writerBmp = [&] {
      timed("bmp_BmpWriter", dir + "\\w-writer.bmp",
            [&](const std::string& path) { vistrel::BmpWriter(picture, path); });
    };
    const bool limitFirst = i % 2 == 0;
    if (limitFirst) limitBmp();
    writerBmp();
    if (!limitFirst) limitBmp();
    for (int quality : {85, 100}) {
      const std::string q = std::to_string(quality);
      auto limitJpeg = [&] {
        timed("jpeg_q" + q + "_limit", dir + "\\w-limit.jpg", [&](const std::string& path) {
          Stream stream;
          Compress(topRow, -stride, w, h, quality, stream);
          WriteWhole(path, stream.data, stream.size);
        });
      };
      auto writerJpeg = [&] {
        timed("jpeg_q" + q + "_JpegWriter", dir + "\\w-writer.jpg",
              [&](const std::string& path) { vistrel::JpegWriter(picture, path, quality); });
      };
      if (limitFirst) limitJpeg();
      writerJpeg();
      if (!limitFirst) limitJpeg();
    }
  }
  std::string json = "{";
  for (const auto& [name, values] : times)
    json += (json.size() > 1 ? ", \"" : "\"") + name + "\": " + Times(values);
  Print(json + "}");
  return 0;
}

}  // namespace bench
