// The probe's entry point, command registry, argument parsing, JSON output and
// the window and process helpers every command uses.
#include "probe.h"

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cwctype>

namespace probe {
namespace {

struct Entry {
  Handler handler;
  std::string help;
};

std::map<std::string, Entry>& Registry() {
  static std::map<std::string, Entry> commands;
  return commands;
}

void AppendEscaped(std::string& out, const std::string& text) {
  out += '"';
  for (unsigned char c : text) {
    switch (c) {
      case '"':
        out += "\\\"";
        break;
      case '\\':
        out += "\\\\";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      case '\t':
        out += "\\t";
        break;
      default:
        if (c < 0x20) {
          char buf[8];
          snprintf(buf, sizeof buf, "\\u%04x", c);
          out += buf;
        } else {
          out += static_cast<char>(c);
        }
    }
  }
  out += '"';
}

bool EqualsNoCase(const std::string& a, const std::string& b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

bool StartsWithNoCase(const std::string& text, const std::string& prefix) {
  return text.size() >= prefix.size() && EqualsNoCase(text.substr(0, prefix.size()), prefix);
}

bool EndsWithNoCase(const std::string& text, const std::string& suffix) {
  return text.size() >= suffix.size() &&
         EqualsNoCase(text.substr(text.size() - suffix.size()), suffix);
}

}  // namespace

ProbeCommand::ProbeCommand(const char* name, Handler handler, const char* help) {
  Registry()[name] = {handler, help};
}

Args::Args(std::vector<std::string> utf8Args) {
  for (size_t i = 0; i < utf8Args.size(); ++i) {
    const std::string& a = utf8Args[i];
    if (a.size() > 2 && a.compare(0, 2, "--") == 0) {
      const std::string name = a.substr(2);
      const size_t eq = name.find('=');
      if (eq != std::string::npos) {
        values_[name.substr(0, eq)] = name.substr(eq + 1);
      } else if (i + 1 < utf8Args.size() && utf8Args[i + 1].compare(0, 2, "--") != 0) {
        values_[name] = utf8Args[++i];
      } else {
        values_[name] = "";
      }
    } else {
      positional_.push_back(a);
    }
  }
}

bool Args::Has(const std::string& name) const { return values_.count(name) != 0; }

std::string Args::Get(const std::string& name, const std::string& fallback) const {
  auto it = values_.find(name);
  return it == values_.end() ? fallback : it->second;
}

std::wstring Args::Wide(const std::string& name, const std::string& fallback) const {
  return WideFromUtf8(Get(name, fallback));
}

long long Args::Int(const std::string& name, long long fallback) const {
  if (!Has(name)) return fallback;
  const std::string text = Get(name);
  char* end = nullptr;
  const long long value = std::strtoll(text.c_str(), &end, 0);
  if (text.empty() || *end != '\0') Fail("--" + name + ": not a number: " + text);
  return value;
}

HWND Args::Hwnd(const std::string& name) const {
  if (!Has(name)) Fail("--" + name + " is required");
  const HWND hwnd = reinterpret_cast<HWND>(static_cast<intptr_t>(Int(name, 0)));
  if (!IsWindow(hwnd)) Fail("no such window: " + Get(name));
  return hwnd;
}

Json Json::Object() {
  Json j;
  j.kind_ = Object_;
  return j;
}

Json Json::Array() {
  Json j;
  j.kind_ = Array_;
  return j;
}

Json& Json::Set(const std::string& key, Json value) {
  for (auto& item : items_) {
    if (item.first == key) {
      item.second = std::move(value);
      return *this;
    }
  }
  items_.emplace_back(key, std::move(value));
  return *this;
}

Json& Json::Push(Json value) {
  items_.emplace_back(std::string(), std::move(value));
  return *this;
}

std::string Json::Dump() const {
  std::string out;
  switch (kind_) {
    case Null:
      return "null";
    case Bool:
      return int_ ? "true" : "false";
    case Int:
      return std::to_string(int_);
    case Number: {
      char buf[32];
      snprintf(buf, sizeof buf, "%.17g", number_);
      return buf;
    }
    case String:
      AppendEscaped(out, string_);
      return out;
    case Array_:
      out += '[';
      for (size_t i = 0; i < items_.size(); ++i) {
        if (i) out += ", ";
        out += items_[i].second.Dump();
      }
      return out + ']';
    case Object_:
      out += '{';
      for (size_t i = 0; i < items_.size(); ++i) {
        if (i) out += ", ";
        AppendEscaped(out, items_[i].first);
        out += ": ";
        out += items_[i].second.Dump();
      }
      return out + '}';
  }
  return "null";
}

void Print(const Json& value) {
  const std::string text = value.Dump() + "\n";
  fwrite(text.data(), 1, text.size(), stdout);
  fflush(stdout);
}

void Fail(const std::string& utf8Text) {
  Print(Json::Object().Set("error", utf8Text));
  ExitProcess(2);
}

std::string Utf8FromWide(const std::wstring& wide) {
  if (wide.empty()) return {};
  const int n = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), nullptr,
                                    0, nullptr, nullptr);
  std::string out(n, '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), out.data(), n,
                      nullptr, nullptr);
  return out;
}

std::wstring WideFromUtf8(const std::string& utf8) {
  if (utf8.empty()) return {};
  const int n =
      MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(n, L'\0');
  MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), out.data(), n);
  return out;
}

long long HwndValue(HWND hwnd) { return static_cast<long long>(reinterpret_cast<uintptr_t>(hwnd)); }

Json RectJson(const RECT& r) {
  return Json::Array().Push(r.left).Push(r.top).Push(r.right).Push(r.bottom);
}

std::string ClassOf(HWND hwnd) {
  wchar_t name[256] = {};
  GetClassNameW(hwnd, name, 256);
  return Utf8FromWide(name);
}

std::string TextOf(HWND hwnd) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, 2000, &length)) {
    wchar_t buf[1024] = {};
    GetWindowTextW(hwnd, buf, 1024);  // the caption the system keeps
    return Utf8FromWide(buf);
  }
  std::wstring text(length + 1, L'\0');
  DWORD_PTR copied = 0;
  SendMessageTimeoutW(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                      SMTO_ABORTIFHUNG, 2000, &copied);
  text.resize(std::min<size_t>(copied, length));
  return Utf8FromWide(text);
}

DWORD PidOf(HWND hwnd) {
  DWORD pid = 0;
  GetWindowThreadProcessId(hwnd, &pid);
  return pid;
}

RECT ClientRectOnScreen(HWND hwnd) {
  RECT r = {};
  GetClientRect(hwnd, &r);
  MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

std::map<DWORD, std::string> ProcessNames() {
  std::map<DWORD, std::string> names;
  HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  if (snap == INVALID_HANDLE_VALUE) return names;
  PROCESSENTRY32W entry = {};
  entry.dwSize = sizeof entry;
  for (BOOL ok = Process32FirstW(snap, &entry); ok; ok = Process32NextW(snap, &entry))
    names[entry.th32ProcessID] = Utf8FromWide(entry.szExeFile);
  CloseHandle(snap);
  return names;
}

std::vector<DWORD> TargetPids(const Args& args) {
  std::vector<DWORD> pids;
  if (args.Has("pid")) {
    pids.push_back(static_cast<DWORD>(args.Int("pid", 0)));
    return pids;
  }
  const std::string exe = args.Get("exe");
  for (const auto& [pid, name] : ProcessNames()) {
    if (pid == GetCurrentProcessId()) continue;
    const bool match = exe.empty()
                           ? StartsWithNoCase(name, "vistrel") && EndsWithNoCase(name, ".exe") &&
                                 !StartsWithNoCase(name, "vistrel_probe") &&
                                 !EndsWithNoCase(name, "_tests.exe")
                           : EqualsNoCase(name, exe);
    if (match) pids.push_back(pid);
  }
  return pids;
}

namespace {

struct Search {
  const std::vector<DWORD>* pids;
  std::vector<HWND> found;
};

// A named CALLBACK: the 32-bit build cannot pass a lambda as a stdcall pointer.
BOOL CALLBACK AddIfTarget(HWND hwnd, LPARAM param) {
  auto* s = reinterpret_cast<Search*>(param);
  if (std::find(s->pids->begin(), s->pids->end(), PidOf(hwnd)) != s->pids->end())
    s->found.push_back(hwnd);
  return TRUE;
}

}  // namespace

std::vector<HWND> TopLevelWindows(const std::vector<DWORD>& pids) {
  Search search{&pids, {}};
  EnumWindows(AddIfTarget, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

}  // namespace probe

namespace {

int Help(const probe::Args&) {
  probe::Json commands = probe::Json::Object();
  for (const auto& [name, entry] : probe::Registry()) commands.Set(name, entry.help);
  probe::Print(probe::Json::Object().Set("commands", commands));
  return 0;
}

probe::ProbeCommand help("help", Help, "help: lists the commands");

}  // namespace

int main() {
  _setmode(_fileno(stdout), _O_BINARY);
  int argc = 0;
  LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
  std::vector<std::string> args;
  for (int i = 2; i < argc; ++i) args.push_back(probe::Utf8FromWide(argv[i]));
  const std::string command = argc > 1 ? probe::Utf8FromWide(argv[1]) : "help";
  LocalFree(argv);
  auto it = probe::Registry().find(command);
  if (it == probe::Registry().end()) probe::Fail("unknown command: " + command + " (try help)");
  return it->second.handler(probe::Args(std::move(args)));
}
