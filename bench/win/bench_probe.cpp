// vistrel_bench_probe.exe: the limits the program is measured against, taken
// under Wine with the same calls the program makes, a key-to-clipboard
// stopwatch, and one capture's steps timed with the program's own code.
// Prints JSON lines.
//
//   grab --runs N --dir WINDIR [--format bmp|jpg] [--quality Q] [--clipboard]
//       the bare burst: per capture a new screen-compatible bitmap, one BitBlt
//       from the desktop, GetDIBits at 32 bits, (libjpeg-turbo,) one WriteFile
//       into a new file; each step timed. Files are left for the caller.
//   writers --runs N --dir WINDIR
//       BmpWriter and JpegWriter (q85, q100) on one captured screen, each
//       beside the bare path writing the same file from the same pixels in
//       memory; files removed as it goes.
//   hotkey --runs N [--vk 123] [--paced]
//       a window that, once focused, times each press of the key from its
//       arrival in Wine to the preview window shown, to a CF_BITMAP announced
//       on the clipboard, and to its bits readable here. Paced, it waits for a
//       line on stdin before each press ("go", or "go CLASS" to watch a
//       preview window of that class).
//   barekey [--vk 123]
//       the bare key program hotkey is set against: polls the key every
//       100 ms; at a press, one BitBlt, a window shown (VistrelBarePreview),
//       a copy of the bitmap on the clipboard. Prints "ready" once polling.
//   steps --runs N --dir WINDIR [--format bmp|jpg] [--quality Q] [--vk 123]
//       a burst as the program's poll makes one, each step timed, then each
//       step alone; the settings must auto-record into WINDIR. Files are left
//       for the caller.
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <cstdio>
#include <string>
#include <vector>

#include "probe_common.h"
#include "toolkit/text_win.h"

int main() {
  // The wide command line: folder names outside the code page come through.
  int argc = 0;
  LPWSTR* wide = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::vector<std::string> argv;
  for (int i = 0; i < argc; ++i) argv.push_back(vistrel::Utf8(wide[i]));
  LocalFree(wide);
  const std::string command = argv.size() > 1 ? argv[1] : "";
  const bench::Args args = bench::ParseArgs(argv);
  if (command == "grab") return bench::Grab(args);
  if (command == "writers") return bench::Writers(args);
  if (command == "hotkey") return bench::HotKey(args);
  if (command == "barekey") return bench::BareKey(args);
  if (command == "steps") return bench::Steps(args);
  std::fputs("usage: vistrel_bench_probe grab|writers|hotkey|barekey|steps [--name value ...]\n",
             stderr);
  return 1;
}
