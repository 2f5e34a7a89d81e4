#pragma once
#include <string>

namespace vistrel {

// One handler's access to the profile file "Vistrel.cfg" (a bare name: the
// profile service puts it in the Windows folder). Holds no data and no lock:
// every read goes to the file, every write is flushed when the handle closes.
class ConfigFile {
 public:
  explicit ConfigFile(std::string fileName = "Vistrel.cfg");
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
  std::string fileName_;
  bool written_ = false;
};

// The file-system path of a shell folder (CSIDL_PERSONAL: the documents folder).
std::string WinFolder(int csidl);
// The documents folder followed by "\Vistrel", computed afresh at each call.
std::string DefaultSaveFolder();

}  // namespace vistrel
