#pragma once
#include <string>

#include "settings/settings.h"

namespace vistrel {

// One handler's access to a profile file, by default "Vistrel.cfg" (a bare
// name: the profile service puts it in the Windows folder). Holds no data and
// no lock: every read goes to the file, every write is flushed when the
// handle closes. The file is in the system's 8-bit code page, byte for byte
// what earlier versions wrote, until a value comes that the code page has no
// letters for: the file then becomes UTF-16, which reads back exactly.
class ConfigFile {
 public:
  explicit ConfigFile(std::string fileName = settings::kFileName);
  ~ConfigFile();
  ConfigFile(const ConfigFile&) = delete;
  ConfigFile& operator=(const ConfigFile&) = delete;

  // The stored value, at most 2047 characters, or def when the file, the
  // section or the key is missing. A present but empty value reads "".
  std::string ReadValue(const std::string& section, const std::string& key,
                        const std::string& def) const;
  // Raises "Impossible d'écrire dans <file>" when the service refuses.
  void WriteValue(const std::string& section, const std::string& key, const std::string& value);
  void RemoveSection(const std::string& section);
  // Whether key is among the section's key names, compared without case.
  bool KeyExists(const std::string& section, const std::string& key) const;

 private:
  void Flush() const;
  // Makes the file able to hold text before it is written there.
  void PrepareEncodingFor(const std::wstring& text);

  std::string fileName_;
  std::wstring wideName_;
  bool written_ = false;
};

// The program's settings: section "Settings" of "Vistrel.cfg", for the length
// of one handler's work.
class SettingsFile final : public settings::Store {
 public:
  std::string Read(const char* key, const std::string& fallback) const override;
  bool Has(const char* key) const override;
  void Write(const char* key, const std::string& value) override;
  void RemoveAll() override;

 private:
  ConfigFile file_;
};

// What tells one state of the settings file from another: its write time
// and size, "none" while there is no file; empty (not to be trusted) for a
// file written in the last two seconds, which may change again within the
// same write time.
std::string SettingsFileStamp();

// The file-system path of a shell folder (CSIDL_PERSONAL: the documents folder).
std::string WinFolder(int csidl);
// The documents folder followed by "\Vistrel", computed afresh at each call.
std::string DefaultSaveFolder();

}  // namespace vistrel
