// vistrel_bench_probe.exe: the limits the program is measured against, taken
// under Wine with the same calls the program makes, and a key-to-clipboard
// stopwatch. Prints JSON lines.
//
//   grab --runs N --dir WINDIR [--format bmp|jpg] [--quality Q] [--clipboard]
//       the bare burst: per capture a new screen-compatible bitmap, one BitBlt
//       from the desktop, GetDIBits at 32 bits, (libjpeg-turbo,) one WriteFile
//       into a new file; each step timed. Files are left for the caller.
//   writers --runs N --dir WINDIR
//       BmpWriter and JpegWriter (q85, q100) on one captured screen, each
//       beside the bare path writing the same file from the same pixels in
//       memory; files removed as it goes.
//   hotkey --runs N [--vk 123]
//       a window that, once focused, times each press of the key from its
//       arrival in Wine to a CF_BITMAP announced on the clipboard, and to its
//       bits readable here.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "imageio/image_writers_win.h"
#include "toolkit/picture_win.h"

namespace {

std::map<std::string, std::string> ParseArgs(int argc, char** argv) {
  std::map<std::string, std::string> args;
  for (int i = 2; i < argc; ++i) {
    if (std::strncmp(argv[i], "--", 2) != 0) continue;
    const std::string name = argv[i] + 2;
    const bool hasValue = i + 1 < argc && std::strncmp(argv[i + 1], "--", 2) != 0;
    args[name] = hasValue ? argv[++i] : "1";
  }
  return args;
}

std::string Get(const std::map<std::string, std::string>& args, const char* name,
                const char* fallback) {
  const auto it = args.find(name);
  return it == args.end() ? fallback : it->second;
}

double Now() {
  static const double perMs = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart) / 1000.0;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) / perMs;
}

std::string Times(const std::vector<double>& values) {
  std::string out = "[";
  char buf[32];
  for (std::size_t i = 0; i < values.size(); ++i) {
    std::snprintf(buf, sizeof buf, "%s%.3f", i ? "," : "", values[i]);
    out += buf;
  }
  return out + "]";
}

void Print(const std::string& line) {
  std::fputs(line.c_str(), stdout);
  std::fputc('\n', stdout);
  std::fflush(stdout);
}

int ScreenWidth() { return GetSystemMetrics(SM_CXSCREEN); }
int ScreenHeight() { return GetSystemMetrics(SM_CYSCREEN); }

// A new display-compatible bitmap holding one BitBlt of the whole screen.
HBITMAP GrabScreen(int width, int height) {
  HWND desktop = GetDesktopWindow();
  HDC screen = GetDC(desktop);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  HDC memory = CreateCompatibleDC(screen);
  HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
  SelectObject(memory, previous);
  DeleteDC(memory);
  ReleaseDC(desktop, screen);
  return bitmap;
}

// The 32-bit pixels straight into `pixels`; a negative height for top-down rows.
void GetPixels32(HBITMAP bitmap, int width, int height, std::uint8_t* pixels) {
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = height;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  HDC screen = GetDC(nullptr);
  GetDIBits(screen, bitmap, 0, static_cast<UINT>(height < 0 ? -height : height), pixels, &info,
            DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
}

void PutBmpHeader(std::uint8_t* h, int width, int height) {
  const DWORD pixels = static_cast<DWORD>(width) * height * 4;
  BITMAPFILEHEADER file = {};
  file.bfType = 0x4D42;
  file.bfSize = 54 + pixels;
  file.bfOffBits = 54;
  BITMAPINFOHEADER info = {};
  info.biSize = sizeof info;
  info.biWidth = width;
  info.biHeight = height;
  info.biPlanes = 1;
  info.biBitCount = 32;
  info.biSizeImage = pixels;
  std::memcpy(h, &file, 14);
  std::memcpy(h + 14, &info, 40);
}

// A new file holding one block, or two written one after the other.
bool WriteWhole(const std::string& path, const void* data, DWORD size, const void* more = nullptr,
                DWORD moreSize = 0) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = WriteFile(file, data, size, &written, nullptr) && written == size;
  if (ok && more) ok = WriteFile(file, more, moreSize, &written, nullptr) && written == moreSize;
  CloseHandle(file);
  return ok;
}

// libjpeg-turbo on its own: defaults, the quality with baseline forced, the
// 32-bit rows read as they are, all rows in one call.
struct Stream {
  unsigned char* data = nullptr;
  unsigned long size = 0;
  ~Stream() { std::free(data); }
};

void Compress(const std::uint8_t* topRow, std::ptrdiff_t stride, int width, int height, int quality,
              Stream& out) {
  jpeg_compress_struct cinfo;
  jpeg_error_mgr jerr;
  cinfo.err = jpeg_std_error(&jerr);
  jpeg_create_compress(&cinfo);
  jpeg_mem_dest(&cinfo, &out.data, &out.size);
  cinfo.image_width = static_cast<JDIMENSION>(width);
  cinfo.image_height = static_cast<JDIMENSION>(height);
  cinfo.input_components = 4;
  cinfo.in_color_space = JCS_EXT_BGRX;
  jpeg_set_defaults(&cinfo);
  jpeg_set_quality(&cinfo, quality, TRUE);
  jpeg_start_compress(&cinfo, TRUE);
  std::vector<JSAMPROW> rows(static_cast<std::size_t>(height));
  for (int y = 0; y < height; ++y) rows[y] = const_cast<JSAMPROW>(topRow + y * stride);
  while (cinfo.next_scanline < cinfo.image_height)
    jpeg_write_scanlines(&cinfo, rows.data() + cinfo.next_scanline,
                         cinfo.image_height - cinfo.next_scanline);
  jpeg_finish_compress(&cinfo);
  jpeg_destroy_compress(&cinfo);
}

// What the program hands the clipboard at each capture: a copy of the bitmap.
void CopyToClipboard(HWND owner, HBITMAP bitmap, int width, int height) {
  if (!OpenClipboard(owner)) return;
  EmptyClipboard();
  HDC screen = GetDC(nullptr);
  HBITMAP copy = CreateCompatibleBitmap(screen, width, height);
  HDC from = CreateCompatibleDC(screen), to = CreateCompatibleDC(screen);
  HGDIOBJ a = SelectObject(from, bitmap), b = SelectObject(to, copy);
  BitBlt(to, 0, 0, width, height, from, 0, 0, SRCCOPY);
  SelectObject(from, a);
  SelectObject(to, b);
  DeleteDC(from);
  DeleteDC(to);
  ReleaseDC(nullptr, screen);
  if (!SetClipboardData(CF_BITMAP, copy)) DeleteObject(copy);
  CloseClipboard();
}

HWND MessageWindow() {
  return CreateWindowExA(0, "STATIC", "vistrel bench", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                         GetModuleHandleA(nullptr), nullptr);
}

int Grab(const std::map<std::string, std::string>& args) {
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

int Writers(const std::map<std::string, std::string>& args) {
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
    DeleteFileA(path.c_str());
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

// The stopwatch window: key arrival to bitmap readable, one line per press.
int HotKey(const std::map<std::string, std::string>& args) {
  const int runs = std::atoi(Get(args, "runs", "5").c_str());
  const UINT vk = static_cast<UINT>(std::atoi(Get(args, "vk", "123").c_str()));
  WNDCLASSA wc = {};
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(GRAY_BRUSH));
  wc.lpszClassName = "VistrelBenchKeys";
  RegisterClassA(&wc);
  HWND hwnd =
      CreateWindowExA(0, wc.lpszClassName, "Vistrel bench keys", WS_POPUP | WS_VISIBLE,
                      ScreenWidth() - 200, 0, 200, 40, nullptr, nullptr, wc.hInstance, nullptr);
  // The X window the caller gives the keyboard focus to.
  MSG msg;
  const double shown = Now();
  while (!GetPropA(hwnd, "__wine_x11_whole_window") && Now() - shown < 5000) {
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    Sleep(5);
  }
  const auto xwindow = reinterpret_cast<std::uintptr_t>(GetPropA(hwnd, "__wine_x11_whole_window"));
  Print(
      "{\"event\": \"ready\", \"hwnd\": " + std::to_string(reinterpret_cast<std::uintptr_t>(hwnd)) +
      ", \"x11_window\": " + std::to_string(xwindow) + "}");

  const bool paced = args.count("paced") > 0;
  for (int run = 0; run < runs; ++run) {
    // Paced: the caller (re)starts the program, then sends a line; the window
    // takes the foreground again, since the program's windows may have had it.
    if (paced) {
      char line[16];
      if (!std::fgets(line, sizeof line, stdin)) return 0;
      SetForegroundWindow(hwnd);
      SetFocus(hwnd);
    }
    if (OpenClipboard(hwnd)) {
      EmptyClipboard();
      CloseClipboard();
    }
    Print("{\"event\": \"waiting\", \"run\": " + std::to_string(run) + "}");
    double pressed = 0;
    const double waitStart = Now();
    while (!pressed && Now() - waitStart < 60000) {
      MsgWaitForMultipleObjects(0, nullptr, FALSE, 1, QS_ALLINPUT);
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        if (msg.message == WM_KEYDOWN && msg.wParam == vk && !(msg.lParam & (1 << 30)) && !pressed)
          pressed = Now();
        DispatchMessageA(&msg);
      }
    }
    if (!pressed) {
      Print("{\"error\": \"no key press within 60 s\"}");
      return 2;
    }
    double announced = 0, readable = 0;
    BITMAP bm = {};
    while (!readable && Now() - pressed < 10000) {
      while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
      // Opened only once a bitmap is announced; its bits may then still have
      // to be made by the program and copied over to this process.
      if (IsClipboardFormatAvailable(CF_BITMAP)) {
        if (!announced) announced = Now();
        if (OpenClipboard(hwnd)) {
          HANDLE data = GetClipboardData(CF_BITMAP);
          if (data && GetObjectA(data, sizeof bm, &bm)) readable = Now();
          CloseClipboard();
        }
      }
      if (!readable) Sleep(1);
    }
    char line[200];
    std::snprintf(line, sizeof line,
                  "{\"event\": \"latency\", \"run\": %d, \"ms\": %.3f, \"announced_ms\": %.3f, "
                  "\"width\": %ld, \"height\": %ld}",
                  run, readable ? readable - pressed : -1.0, announced ? announced - pressed : -1.0,
                  bm.bmWidth, bm.bmHeight);
    Print(line);
  }
  DestroyWindow(hwnd);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string command = argc > 1 ? argv[1] : "";
  const auto args = ParseArgs(argc, argv);
  if (command == "grab") return Grab(args);
  if (command == "writers") return Writers(args);
  if (command == "hotkey") return HotKey(args);
  std::fputs("usage: vistrel_bench_probe grab|writers|hotkey [--name value ...]\n", stderr);
  return 1;
}
