#include "settings/settings.h"

#include <charconv>
#include <cstdint>

#include "toolkit/error.h"
#include "toolkit/messages.h"

namespace vistrel::settings {

const KeyInfo& Info(Key key) {
  for (const KeyInfo& info : kKeys)
    if (info.key == key) return info;
  return kKeys.front();
}

std::string& Values::operator[](Key key) {
  switch (key) {
    case Key::AutoRec:
      return autoRec;
    case Key::AutoRecFormat:
      return autoRecFormat;
    case Key::SaveFilePath:
      return saveFilePath;
    case Key::Compression:
      return compression;
    case Key::HotKey:
      return hotKey;
    case Key::BordBlanc:
      return bordBlanc;
  }
  return autoRec;
}

const std::string& Values::operator[](Key key) const { return const_cast<Values&>(*this)[key]; }

std::string ReadKey(const Reader& store, Key key, const DefaultFolder& defaultFolder) {
  const KeyInfo& info = Info(key);
  if (info.defaultValue) return store.Read(info.name, info.defaultValue);
  // The default folder is computed afresh for every read of a folder that
  // is not stored, and only then.
  return store.Read(info.name, store.Has(info.name) ? std::string() : defaultFolder());
}

Values ReadAll(const Reader& store, const DefaultFolder& defaultFolder) {
  Values values;
  for (const KeyInfo& info : kKeys) values[info.key] = ReadKey(store, info.key, defaultFolder);
  return values;
}

void WriteAll(Store& store, const Values& values) {
  for (const KeyInfo& info : kKeys) store.Write(info.name, values[info.key]);
}

int StrToInt(std::string_view text) {
  std::string_view rest = text;
  while (!rest.empty() && rest.front() == ' ') rest.remove_prefix(1);
  bool negative = false;
  if (!rest.empty() && (rest.front() == '-' || rest.front() == '+')) {
    negative = rest.front() == '-';
    rest.remove_prefix(1);
  }
  const bool digitsOnly =
      !rest.empty() && rest.find_first_not_of("0123456789") == std::string_view::npos;
  while (rest.size() > 1 && rest.front() == '0') rest.remove_prefix(1);
  std::int64_t value = 0;
  if (digitsOnly && rest.size() <= 10)
    std::from_chars(rest.data(), rest.data() + rest.size(), value);
  if (negative) value = -value;
  if (!digitsOnly || rest.size() > 10 || value < INT32_MIN || value > INT32_MAX)
    throw Error(messages::NotAnInteger(text));
  return static_cast<int>(value);
}

JpegQuality::JpegQuality(std::string_view text) : text_(text) {
  try {
    value_ = StrToInt(text);
  } catch (const Error&) {
    // Raised again where the quality is used.
  }
}

int JpegQuality::Value() const {
  if (!value_) throw Error(messages::NotAnInteger(text_));
  return *value_;
}

FileFormat FileFormatFor(std::string_view value) {
  if (Is(value, kBmp)) return FileFormat::Bmp;
  if (Is(value, kJpg)) return FileFormat::Jpg;
  return FileFormat::None;
}

AutoRecordPlan ReadAutoRecordPlan(const Reader& store, const DefaultFolder& defaultFolder) {
  AutoRecordPlan plan;
  plan.on = !Is(ReadKey(store, Key::AutoRec, defaultFolder), kNo);
  plan.format = FileFormatFor(ReadKey(store, Key::AutoRecFormat, defaultFolder));
  plan.folder = ReadKey(store, Key::SaveFilePath, defaultFolder);
  plan.quality = JpegQuality(ReadKey(store, Key::Compression, defaultFolder));
  return plan;
}

// Neither key has the default folder for its default.
int ReadJpegQuality(const Reader& store) { return StrToInt(ReadKey(store, Key::Compression, {})); }

std::uint8_t SelectionMarginFor(std::string_view bordBlanc) { return Is(bordBlanc, kNo) ? 1 : 0; }

std::uint8_t ReadSelectionMargin(const Reader& store) {
  return SelectionMarginFor(ReadKey(store, Key::BordBlanc, {}));
}

std::string ReadHotKeyName(const Reader& store) {
  const KeyInfo& info = Info(Key::HotKey);
  if (!store.Has(info.name)) return info.defaultValue;
  return store.Read(info.name, info.defaultValue);
}

}  // namespace vistrel::settings
