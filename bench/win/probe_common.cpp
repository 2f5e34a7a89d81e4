// The bench probe's shared parts: arguments, clock, output, bare Win32 steps.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include <jpeglib.h>

#include "probe_common.h"
#include "toolkit/text_win.h"

namespace bench {

Args ParseArgs(const std::vector<std::string>& argv) {
  Args args;
  for (std::size_t i = 2; i < argv.size(); ++i) {
    if (argv[i].compare(0, 2, "--") != 0) continue;
    const std::string name = argv[i].substr(2);
    const bool hasValue = i + 1 < argv.size() && argv[i + 1].compare(0, 2, "--") != 0;
    args[name] = hasValue ? argv[++i] : "1";
  }
  return args;
}

std::string Get(const Args& args, const char* name, const char* fallback) {
  const auto it = args.find(name);
  return it == args.end() ? fallback : it->second;
}

int GetInt(const Args& args, const char* name, int fallback) {
  const auto it = args.find(name);
  return it == args.end() ? fallback : std::atoi(it->second.c_str());
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
bool WriteWhole(const std::string& path, const void* data, DWORD size, const void* more,
                DWORD moreSize) {
  HANDLE file = CreateFileW(vistrel::Wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                            CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  bool ok = WriteFile(file, data, size, &written, nullptr) && written == size;
  if (ok && more) ok = WriteFile(file, more, moreSize, &written, nullptr) && written == moreSize;
  CloseHandle(file);
  return ok;
}

Stream::~Stream() { std::free(data); }

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
  return CreateWindowExW(0, L"STATIC", L"vistrel bench", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                         GetModuleHandleW(nullptr), nullptr);
}

}  // namespace bench
