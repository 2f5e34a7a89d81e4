#include "settings/settings.h"

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

std::string Read(const Store& store, Key key, const DefaultFolder& defaultFolder) {
  const KeyInfo& info = Info(key);
  // The default folder is computed afresh for every read of the folder.
  const std::string fallback = info.defaultValue ? info.defaultValue : defaultFolder();
  return store.Read(info.name, fallback);
}

Values ReadAll(const Store& store, const DefaultFolder& defaultFolder) {
  Values values;
  for (const KeyInfo& info : kKeys) values[info.key] = Read(store, info.key, defaultFolder);
  return values;
}

void WriteAll(Store& store, const Values& values) {
  for (const KeyInfo& info : kKeys) store.Write(info.name, values[info.key]);
}

AutoRecord ReadAutoRecord(const Store& store, const DefaultFolder& defaultFolder) {
  AutoRecord read;
  read.autoRec = Read(store, Key::AutoRec, defaultFolder);
  read.format = Read(store, Key::AutoRecFormat, defaultFolder);
  read.folder = Read(store, Key::SaveFilePath, defaultFolder);
  read.compression = Read(store, Key::Compression, defaultFolder);
  return read;
}

std::string ReadHotKeyName(const Store& store) {
  const KeyInfo& info = Info(Key::HotKey);
  if (!store.Has(info.name)) return info.defaultValue;
  return store.Read(info.name, info.defaultValue);
}

}  // namespace vistrel::settings
