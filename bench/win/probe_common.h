#pragma once
// What the bench probe's commands share: arguments, the clock, JSON output,
// and the bare Win32 steps the limits are built from.
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace bench {

using Args = std::map<std::string, std::string>;

// "--name value" pairs after the command (argv[1]); a name without a value
// reads "1". argv in UTF-8.
Args ParseArgs(const std::vector<std::string>& argv);
std::string Get(const Args& args, const char* name, const char* fallback);
int GetInt(const Args& args, const char* name, int fallback);

// Milliseconds from the performance counter.
double Now();
// A JSON array of milliseconds.
std::string Times(const std::vector<double>& values);
// One line on stdout, flushed: the caller reads line by line.
void Print(const std::string& line);

int ScreenWidth();
int ScreenHeight();

// A new display-compatible bitmap holding one BitBlt of the whole screen.
HBITMAP GrabScreen(int width, int height);
// The 32-bit pixels straight into `pixels`; a negative height for top-down rows.
void GetPixels32(HBITMAP bitmap, int width, int height, std::uint8_t* pixels);
void PutBmpHeader(std::uint8_t* header, int width, int height);
// A new file (path in UTF-8) holding one block, or two written one after the other.
bool WriteWhole(const std::string& path, const void* data, DWORD size, const void* more = nullptr,
                DWORD moreSize = 0);

// libjpeg-turbo on its own: defaults, the quality with baseline forced, the
// 32-bit rows read as they are, all rows in one call.
struct Stream {
  unsigned char* data = nullptr;
  unsigned long size = 0;
  ~Stream();
};
void Compress(const std::uint8_t* topRow, std::ptrdiff_t stride, int width, int height, int quality,
              Stream& out);

// What the program handed the clipboard at each capture before delayed
// rendering: a copy of the bitmap.
void CopyToClipboard(HWND owner, HBITMAP bitmap, int width, int height);
HWND MessageWindow();

int Grab(const Args& args);
int Writers(const Args& args);
int HotKey(const Args& args);
int BareKey(const Args& args);
int Steps(const Args& args);

}  // namespace bench
