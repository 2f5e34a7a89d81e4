#pragma once
// The settings: six keys of section "Settings" in the profile file
// "Vistrel.cfg", their defaults, and the one rule by which their values are
// compared. No platform types: the file itself is reached through Store.
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
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

// The reading side of the section.
class Reader {
 public:
  virtual ~Reader() = default;
  // The stored value, or fallback when the file, the section or the key is
  // missing; a key present with an empty value reads "".
  virtual std::string Read(const char* key, const std::string& fallback) const = 0;
  // Whether the key is among the section's keys.
  virtual bool Has(const char* key) const = 0;
};

// One handler's access to the section: open for the length of its work,
// holding no data of its own.
class Store : public Reader {
 public:
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
std::string ReadKey(const Reader& store, Key key, const DefaultFolder& defaultFolder);
// Reads all six, in table order.
Values ReadAll(const Reader& store, const DefaultFolder& defaultFolder);
// Writes all six, in table order; a refused write stops there.
void WriteAll(Store& store, const Values& values);

// Decimal text to a 32-bit integer the way the settings are read: optional
// leading blanks, an optional sign, then digits only. Anything else, or a value
// out of range, raises "'%s' n'est pas une valeur entière correcte".
int StrToInt(std::string_view text);

// The JPEG quality as stored: an integer, or a text that is none, whose
// conversion error is raised only where the quality is used.
class JpegQuality {
 public:
  explicit JpegQuality(std::string_view text);
  // Raises the conversion error for a text that is no integer.
  int Value() const;

 private:
  std::optional<int> value_;
  std::string text_;
};

enum class FileFormat { Bmp, Jpg, None };
// "bmp" and "jpg" exactly; anything else writes nothing.
FileFormat FileFormatFor(std::string_view value);

// What auto-record does with a capture: read after every capture, in the
// order of its fields.
struct AutoRecordPlan {
  bool on = false;  // off only for exactly "non"
  FileFormat format = FileFormat::None;
  std::string folder;          // used as read
  JpegQuality quality{"100"};  // for JPEG files only
};
AutoRecordPlan ReadAutoRecordPlan(const Reader& store, const DefaultFolder& defaultFolder);

// The quality "Save as..." writes a JPEG file at; raises the conversion
// error for a stored text that is no integer.
int ReadJpegQuality(const Reader& store);

// The gap between a selection and its frame: 1 (the capture holds no white
// border) only for exactly "non", letter case included; 0 for anything else.
std::uint8_t SelectionMarginFor(std::string_view bordBlanc);
std::uint8_t ReadSelectionMargin(const Reader& store);

// The hot-key name arming reads: the default when the key is absent, else the
// value as stored, empty included.
std::string ReadHotKeyName(const Reader& store);

}  // namespace vistrel::settings
