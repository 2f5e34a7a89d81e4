// File commands for the fault tests: hold-files.
#include "probe.h"

#include <fstream>

namespace probe {
namespace {

// The paths of a list file, one a line, in UTF-8.
std::vector<std::string> ReadList(const std::string& ansiPath) {
  std::ifstream in(ansiPath, std::ios::binary);
  if (!in) Fail("cannot read the list file");
  std::vector<std::string> paths;
  std::string line;
  while (std::getline(in, line)) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
    if (!line.empty()) paths.push_back(AnsiFromUtf8(line));
  }
  return paths;
}

// Makes the listed files read-only, or keeps them open without sharing (as an
// editor holding a file locked would) for the given time.
int HoldFiles(const Args& args) {
  const std::vector<std::string> paths = ReadList(args.Ansi("list"));
  const std::string mode = args.Get("mode", "lock");
  int done = 0;
  std::vector<HANDLE> handles;
  for (const std::string& path : paths) {
    if (mode == "readonly") {
      if (SetFileAttributesA(path.c_str(), FILE_ATTRIBUTE_READONLY)) ++done;
    } else {
      HANDLE h = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                             FILE_ATTRIBUTE_NORMAL, nullptr);
      if (h != INVALID_HANDLE_VALUE) {
        handles.push_back(h);
        ++done;
      }
    }
  }
  Print(Json::Object().Set("held", done).Set("of", static_cast<long long>(paths.size())));
  if (mode != "readonly") {
    Sleep(static_cast<DWORD>(args.Int("seconds", 30) * 1000));
    for (HANDLE h : handles) CloseHandle(h);
    Print(Json::Object().Set("released", done));
  }
  return 0;
}

ProbeCommand holdFilesCommand(
    "hold-files", HoldFiles,
    "hold-files --list WINPATH [--mode lock|readonly] [--seconds S]: the files listed (UTF-8, "
    "one a line) kept open without sharing for S seconds, or made read-only; prints 'held'");

}  // namespace
}  // namespace probe
