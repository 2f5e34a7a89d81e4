#include "settings/config_file_win.h"

#include <shlobj.h>
#include <windows.h>

#include <vector>

#include "settings/save_folder.h"
#include "toolkit/error.h"
#include "toolkit/messages.h"

namespace vistrel {

ConfigFile::ConfigFile(std::string fileName) : fileName_(std::move(fileName)) {}

ConfigFile::~ConfigFile() {
  // The profile service caches files; flushing makes the change visible on
  // disk before the handler goes on.
  if (written_) WritePrivateProfileStringA(nullptr, nullptr, nullptr, fileName_.c_str());
}

std::string ConfigFile::ReadValue(const std::string& section, const std::string& key,
                                  const std::string& def) const {
  char buffer[2048];
  const DWORD length = GetPrivateProfileStringA(section.c_str(), key.c_str(), def.c_str(), buffer,
                                                sizeof buffer, fileName_.c_str());
  return std::string(buffer, length);
}

void ConfigFile::WriteValue(const std::string& section, const std::string& key,
                            const std::string& value) {
  written_ = true;
  if (!WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), fileName_.c_str()))
    throw Error(messages::CannotWriteTo(fileName_));
}

void ConfigFile::RemoveSection(const std::string& section) {
  written_ = true;
  if (!WritePrivateProfileStringA(section.c_str(), nullptr, nullptr, fileName_.c_str()))
    throw Error(messages::CannotWriteTo(fileName_));
}

bool ConfigFile::KeyExists(const std::string& section, const std::string& key) const {
  std::vector<char> names(16384);
  const DWORD length =
      GetPrivateProfileStringA(section.c_str(), nullptr, "", names.data(),
                               static_cast<DWORD>(names.size()), fileName_.c_str());
  for (DWORD at = 0; at < length && names[at];) {
    const char* name = names.data() + at;
    if (lstrcmpiA(name, key.c_str()) == 0) return true;
    at += static_cast<DWORD>(lstrlenA(name)) + 1;
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
  char windows[MAX_PATH] = "";
  GetWindowsDirectoryA(windows, MAX_PATH);
  // A bare name: the profile service keeps the file in the Windows folder.
  const std::string path = std::string(windows) + "\\" + settings::kFileName;
  WIN32_FILE_ATTRIBUTE_DATA found = {};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &found)) {
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
  char path[MAX_PATH] = "";
  // The folder's path straight from the shell, with no item list to make and
  // give back through COM: the same folder without loading ole32 and its
  // company into the program at start, in a third of the time at each capture.
  if (FAILED(SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) path[0] = '\0';
  return WithoutTrailingSeparator(path);
}

std::string DefaultSaveFolder() { return SaveFolderUnder(WinFolder(CSIDL_PERSONAL)); }

}  // namespace vistrel
