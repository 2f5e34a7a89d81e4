// vistrel_probe.exe: a Win32 inspector and fixture for the end-to-end tests.
// It runs in the same Wine prefix as the program and reads its windows through
// Win32, printing JSON (UTF-8) on stdout. Commands live in probe_<area>.cpp
// files and register themselves with a static ProbeCommand object:
//
//   static int Hello(const probe::Args& args) { probe::Print(probe::Json::Object()); return 0; }
//   static probe::ProbeCommand hello("hello", Hello, "hello: prints {}");
#pragma once
#include <windows.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace probe {

// "--name value" pairs and bare "--flag"s after the command name. Values come
// from the wide command line and are kept in UTF-8; Wide() gives the UTF-16
// text for the ...W calls.
class Args {
 public:
  Args(std::vector<std::string> utf8Args);
  bool Has(const std::string& name) const;
  std::string Get(const std::string& name, const std::string& fallback = "") const;
  std::wstring Wide(const std::string& name, const std::string& fallback = "") const;
  // Decimal, or hexadecimal with 0x; fails (exits with an error) on junk.
  long long Int(const std::string& name, long long fallback) const;
  HWND Hwnd(const std::string& name = "hwnd") const;  // required
  const std::vector<std::string>& Positional() const { return positional_; }

 private:
  std::map<std::string, std::string> values_;
  std::vector<std::string> positional_;
};

// A small JSON value: null, bool, integer, number, string (UTF-8), array, object
// (keys keep their insertion order).
class Json {
 public:
  Json() = default;
  Json(std::nullptr_t) {}
  Json(bool b) : kind_(Bool), int_(b) {}
  Json(int i) : kind_(Int), int_(i) {}
  Json(long i) : kind_(Int), int_(i) {}
  Json(long long i) : kind_(Int), int_(i) {}
  Json(unsigned int i) : kind_(Int), int_(i) {}
  Json(unsigned long i) : kind_(Int), int_(static_cast<long long>(i)) {}
  Json(unsigned long long i) : kind_(Int), int_(static_cast<long long>(i)) {}
  Json(double d) : kind_(Number), number_(d) {}
  Json(const char* utf8) : kind_(String), string_(utf8) {}
  Json(std::string utf8) : kind_(String), string_(std::move(utf8)) {}
  static Json Object();
  static Json Array();

  Json& Set(const std::string& key, Json value);  // objects
  Json& Push(Json value);                         // arrays
  std::string Dump() const;

 private:
  enum Kind { Null, Bool, Int, Number, String, Array_, Object_ };
  Kind kind_ = Null;
  long long int_ = 0;
  double number_ = 0;
  std::string string_;
  std::vector<std::pair<std::string, Json>> items_;
};

using Handler = int (*)(const Args&);

// Registers a command at static initialisation.
struct ProbeCommand {
  ProbeCommand(const char* name, Handler handler, const char* help);
};

// Output: one JSON document per line, flushed at once.
void Print(const Json& value);
// Prints {"error": text} and exits with status 2.
[[noreturn]] void Fail(const std::string& utf8Text);

// Text conversions between UTF-16 (what Windows speaks) and UTF-8 (what the
// probe prints and takes).
std::string Utf8FromWide(const std::wstring& wide);
std::wstring WideFromUtf8(const std::string& utf8);

// Window helpers shared by the commands.
long long HwndValue(HWND hwnd);
Json RectJson(const RECT& r);    // [left, top, right, bottom]
std::string ClassOf(HWND hwnd);  // UTF-8
// The window text in UTF-8, as the window itself answers WM_GETTEXT (bounded wait).
std::string TextOf(HWND hwnd);
DWORD PidOf(HWND hwnd);
RECT ClientRectOnScreen(HWND hwnd);

// Processes: exe base names by pid, and the pids of the program under test
// (every "vistrel*.exe" except this probe and test runners), or the --pid /
// --exe given on the command line.
std::map<DWORD, std::string> ProcessNames();
std::vector<DWORD> TargetPids(const Args& args);
// Top-level windows (visible or not) of the given processes, in Z order.
std::vector<HWND> TopLevelWindows(const std::vector<DWORD>& pids);

// A top-level window as JSON; with children=true each descendant control too.
Json TopLevelJson(HWND hwnd, bool children);
Json ChildJson(HWND child);

}  // namespace probe
