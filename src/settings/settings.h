#pragma once
// The settings: six keys of section "Settings" in the profile file
// "Vistrel.cfg", their defaults, and the one rule by which their values are
// compared. No platform types: the file itself is reached through Store.
#include <array>
#include <functional>
#include <string>
#include <string_view>

namespace vistrel::settings {

inline constexpr const char* kFileName = "Vistrel.cfg";
inline constexpr const char* kSection = "Settings";

enum class Key { AutoRec, AutoRecFormat, SaveFilePath, Compression, HotKey, BordBlanc };

struct KeyInfo {
  Key key;
  const char* name;          // as written; the file matches key names without case
  const char* defaultValue;  // null for SaveFilePath: the default folder, computed at each read
};

// In the order the preferences window reads and writes them.
inline constexpr std::array<KeyInfo, 6> kKeys{{
    {Key::AutoRec, "AutoRec", "non"},
    {Key::AutoRecFormat, "AutoRecFormat", "bmp"},
    {Key::SaveFilePath, "SaveFilePath", nullptr},
    {Key::Compression, "Compression", "100"},
    {Key::HotKey, "Vistrel", "F12"},
    {Key::BordBlanc, "BordBlanc", "oui"},
}};

const KeyInfo& Info(Key key);

// The words the values are made of.
inline constexpr std::string_view kYes = "oui";
inline constexpr std::string_view kNo = "non";
inline constexpr std::string_view kBmp = "bmp";
inline constexpr std::string_view kJpg = "jpg";

// Values are compared exactly: same length, same bytes, letter case included
// ("Non" is not "non").
constexpr bool Is(std::string_view value, std::string_view word) { return value == word; }

// One handler's access to the section: open for the length of its work,
// holding no data of its own.
class Store {
 public:
  virtual ~Store() = default;
  // The stored value, or fallback when the file, the section or the key is
  // missing; a key present with an empty value reads "".
  virtual std::string Read(const char* key, const std::string& fallback) const = 0;
  // Whether the key is among the section's keys.
  virtual bool Has(const char* key) const = 0;
  virtual void Write(const char* key, const std::string& value) = 0;
  // Removes the whole section.
  virtual void RemoveAll() = 0;
};

// The documents folder's "Vistrel" folder, computed afresh when asked for.
using DefaultFolder = std::function<std::string()>;

// The six values, as read (each key's default applied) or as to be written.
struct Values {
  std::string autoRec;
  std::string autoRecFormat;
  std::string saveFilePath;
  std::string compression;
  std::string hotKey;
  std::string bordBlanc;

  std::string& operator[](Key key);
  const std::string& operator[](Key key) const;
};

// Reads one key with its default.
std::string Read(const Store& store, Key key, const DefaultFolder& defaultFolder);
// Reads all six, in table order.
Values ReadAll(const Store& store, const DefaultFolder& defaultFolder);
// Writes all six, in table order; a refused write stops there.
void WriteAll(Store& store, const Values& values);

// What a capture reads after every capture, in this order.
struct AutoRecord {
  std::string autoRec;      // "non" switches auto-record off; anything else is on
  std::string format;       // "bmp" or "jpg"; anything else writes nothing
  std::string folder;       // used as read
  std::string compression;  // JPEG quality as decimal text
  bool On() const { return !Is(autoRec, kNo); }
};
AutoRecord ReadAutoRecord(const Store& store, const DefaultFolder& defaultFolder);

// The hot-key name arming reads: the default when the key is absent, else the
// value as stored, empty included.
std::string ReadHotKeyName(const Store& store);

}  // namespace vistrel::settings
