// File commands for the fault tests: hold-files.
#include "probe.h"

#include <filesystem>
#include <fstream>

namespace probe {
namespace {

// The paths of a list file, one a line, in UTF-8.
std::vector<std::wstring> ReadList(const std::wstring& listPath) {
  std::ifstream in(std::filesystem::path(listPath), std::ios::binary);
  if (!in) Fail("cannot read the list file");
  std::vector<std::wstring> paths;
  std::string line;
  while (std::getline(in, line)) {
    while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.pop_back();
    if (!line.empty()) paths.push_back(WideFromUtf8(line));
  }
  return paths;
}

// Makes the listed files read-only, or keeps them open without sharing (as an
// editor holding a file locked would) for the given time.
int HoldFiles(const Args& args) {
  const std::vector<std::wstring> paths = ReadList(args.Wide("list"));
  const std::string mode = args.Get("mode", "lock");
  int done = 0;
  std::vector<HANDLE> handles;
  for (const std::wstring& path : paths) {
    if (mode == "readonly") {
      if (SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_READONLY)) ++done;
    } else {
      HANDLE h = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
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
