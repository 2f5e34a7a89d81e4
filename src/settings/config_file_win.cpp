#include "settings/config_file_win.h"

#include <shlobj.h>
#include <windows.h>

#include <iterator>
#include <string_view>
#include <vector>

#include "settings/profile_text.h"
#include "settings/save_folder.h"
#include "toolkit/error.h"
#include "toolkit/messages.h"
#include "toolkit/text.h"
#include "toolkit/text_win.h"

namespace vistrel {

namespace {

// A bare name: the profile service keeps the file in the Windows folder.
std::wstring ProfilePath(const std::string& fileName) {
  wchar_t windows[MAX_PATH] = L"";
  GetWindowsDirectoryW(windows, MAX_PATH);
  return std::wstring(windows) + L"\\" + Wide(fileName);
}

std::string ReadBytes(const std::wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return {};
  std::string bytes;
  char chunk[4096];
  DWORD read = 0;
  while (ReadFile(file, chunk, sizeof chunk, &read, nullptr) && read > 0) bytes.append(chunk, read);
  CloseHandle(file);
  return bytes;
}

bool WriteBytes(const std::wstring& path, std::string_view bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool whole =
      WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
      written == bytes.size();
  CloseHandle(file);
  return whole;
}

std::wstring Decode(UINT codePage, std::string_view bytes) {
  if (bytes.empty()) return {};
  const int length = static_cast<int>(bytes.size());
  std::wstring text(MultiByteToWideChar(codePage, 0, bytes.data(), length, nullptr, 0), L'\0');
  MultiByteToWideChar(codePage, 0, bytes.data(), length, text.data(),
                      static_cast<int>(text.size()));
  return text;
}

constexpr UINT kWestern = 1252;

// An 8-bit file as its writer meant it. Under the UTF-8 code page, a file
// that is no UTF-8 comes from a system with another code page: an earlier
// version of the program only ever wrote Windows-1252.
std::wstring DecodeAnsiFile(std::string_view bytes) {
  const bool foreign = GetACP() == CP_UTF8 && !profile_text::IsUtf8(bytes);
  return Decode(foreign ? kWestern : CP_ACP, bytes);
}

// Whether the system's code page has every character of text, so that an
// 8-bit profile file can hold it.
bool AnsiCodePageHolds(const std::wstring& text) {
  if (GetACP() == CP_UTF8 || text.empty()) return true;
  BOOL lost = FALSE;
  WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, text.data(), static_cast<int>(text.size()),
                      nullptr, 0, nullptr, &lost);
  return !lost;
}

}  // namespace

ConfigFile::ConfigFile(std::string fileName)
    : fileName_(std::move(fileName)), wideName_(Wide(fileName_)) {}

ConfigFile::~ConfigFile() {
  // The profile service caches files; flushing makes the change visible on
  // disk before the handler goes on.
  if (written_) Flush();
}

void ConfigFile::Flush() const {
  WritePrivateProfileStringW(nullptr, nullptr, nullptr, wideName_.c_str());
}

std::string ConfigFile::ReadValue(const std::string& section, const std::string& key,
                                  const std::string& def) const {
  wchar_t buffer[2048];
  const DWORD length =
      GetPrivateProfileStringW(Wide(section).c_str(), Wide(key).c_str(), Wide(def).c_str(), buffer,
                               static_cast<DWORD>(std::size(buffer)), wideName_.c_str());
  std::string value = Utf8(std::wstring_view(buffer, length));
  // Bytes the UTF-8 code page cannot read: a file from a Windows-1252
  // system, whose value is read as written there.
  if (GetACP() == CP_UTF8 && value.find("\xEF\xBF\xBD") != std::string::npos) {
    const std::string bytes = ReadBytes(ProfilePath(fileName_));
    if (profile_text::EncodingOf(bytes) == profile_text::Encoding::Ansi &&
        !profile_text::IsUtf8(bytes)) {
      if (auto found = profile_text::FindValue(Utf8(Decode(kWestern, bytes)), section, key))
        value = CutToUtf16Units(*found, std::size(buffer) - 1);
    }
  }
  return value;
}

void ConfigFile::PrepareEncodingFor(const std::wstring& text) {
  Flush();
  const std::wstring path = ProfilePath(fileName_);
  const std::string bytes = ReadBytes(path);
  if (profile_text::EncodingOf(bytes) == profile_text::Encoding::Utf16) return;
  if (!AnsiCodePageHolds(text)) {
    // An 8-bit file would keep a look-alike or a "?": the file becomes
    // UTF-16, which the profile service reads and writes as such.
    const std::wstring content = DecodeAnsiFile(bytes);
    std::string utf16(profile_text::kUtf16Mark);
    utf16.append(reinterpret_cast<const char*>(content.data()), content.size() * sizeof(wchar_t));
    if (!WriteBytes(path, utf16)) throw Error(messages::CannotWriteTo(fileName_));
  } else if (GetACP() == CP_UTF8 && !profile_text::IsUtf8(bytes)) {
    // A Windows-1252 file met under the UTF-8 code page: rewritten in the
    // system's own code page first, so that the service keeps every letter.
    const std::string content = Utf8(Decode(kWestern, bytes));
    if (!WriteBytes(path, content)) throw Error(messages::CannotWriteTo(fileName_));
  }
}

void ConfigFile::WriteValue(const std::string& section, const std::string& key,
                            const std::string& value) {
  written_ = true;
  const std::wstring wideSection = Wide(section), wideKey = Wide(key), wideValue = Wide(value);
  PrepareEncodingFor(wideSection + wideKey + wideValue);
  if (!WritePrivateProfileStringW(wideSection.c_str(), wideKey.c_str(), wideValue.c_str(),
                                  wideName_.c_str()))
    throw Error(messages::CannotWriteTo(fileName_));
}

void ConfigFile::RemoveSection(const std::string& section) {
  written_ = true;
  if (!WritePrivateProfileStringW(Wide(section).c_str(), nullptr, nullptr, wideName_.c_str()))
    throw Error(messages::CannotWriteTo(fileName_));
}

bool ConfigFile::KeyExists(const std::string& section, const std::string& key) const {
  std::vector<wchar_t> names(16384);
  const DWORD length =
      GetPrivateProfileStringW(Wide(section).c_str(), nullptr, L"", names.data(),
                               static_cast<DWORD>(names.size()), wideName_.c_str());
  const std::wstring wideKey = Wide(key);
  for (DWORD at = 0; at < length && names[at];) {
    const wchar_t* name = names.data() + at;
    if (lstrcmpiW(name, wideKey.c_str()) == 0) return true;
    at += static_cast<DWORD>(lstrlenW(name)) + 1;
  }
  return false;
}

std::string SettingsFile::Read(const char* key, const std::string& fallback) const {
  return file_.ReadValue(settings::kSection, key, fallback);
}

bool SettingsFile::Has(const char* key) const { return file_.KeyExists(settings::kSection, key); }

void SettingsFile::Write(const char* key, const std::string& value) {
  file_.WriteValue(settings::kSection, key, value);
}

void SettingsFile::RemoveAll() { file_.RemoveSection(settings::kSection); }

std::string SettingsFileStamp() {
  const std::wstring path = ProfilePath(settings::kFileName);
  WIN32_FILE_ATTRIBUTE_DATA found = {};
  if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &found)) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? "none" : "";
  }
  const auto ticks = [](const FILETIME& t) {
    return (static_cast<unsigned long long>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
  };
  FILETIME now = {};
  GetSystemTimeAsFileTime(&now);
  constexpr unsigned long long kTwoSeconds = 2 * 10'000'000ULL;  // in 100 ns
  const unsigned long long written = ticks(found.ftLastWriteTime);
  if (ticks(now) < written + kTwoSeconds) return "";
  return std::to_string(written) + "/" + std::to_string(found.nFileSizeHigh) + ":" +
         std::to_string(found.nFileSizeLow);
}

std::string WinFolder(int csidl) {
  wchar_t path[MAX_PATH] = L"";
  // The folder's path straight from the shell, with no item list to make and
  // give back through COM: the same folder without loading ole32 and its
  // company into the program at start, in a third of the time at each capture.
  // In UTF-16, the real folder whatever letters the user's name has.
  if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) path[0] = L'\0';
  return WithoutTrailingSeparator(Utf8(path));
}

std::string DefaultSaveFolder() { return SaveFolderUnder(WinFolder(CSIDL_PERSONAL)); }

}  // namespace vistrel
