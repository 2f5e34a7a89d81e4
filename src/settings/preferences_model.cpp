#include "settings/preferences_model.h"

#include <algorithm>

#include "toolkit/messages.h"

namespace vistrel::prefs {

bool AutoRecordTicked(std::string_view autoRec) { return settings::Is(autoRec, settings::kYes); }

bool BmpSelected(std::string_view autoRecFormat) {
  return settings::Is(autoRecFormat, settings::kBmp);
}

std::string FolderShown(std::string_view saveFilePath,
                        const std::function<std::string()>& defaultFolder) {
  return saveFilePath.empty() ? defaultFolder() : std::string(saveFilePath);
}

QualityState QualityShown(std::string_view compression) {
  if (compression.empty()) return {100, PercentText(100)};
  // The label keeps the stored text ("050 %", "150 %"); the slider cannot.
  return {ClampPosition(settings::StrToInt(compression)), std::string(compression) + " %"};
}

std::string HotKeyShown(std::string_view hotKey) {
  return hotKey.empty() ? settings::Info(settings::Key::HotKey).defaultValue : std::string(hotKey);
}

bool WhiteBorderTicked(std::string_view bordBlanc) {
  return settings::Is(bordBlanc, settings::kYes);
}

std::string PercentText(int position) { return std::to_string(position) + " %"; }

int ClampPosition(int value) { return std::clamp(value, 0, 100); }

settings::Values ValuesToWrite(const ControlStates& controls) {
  settings::Values values;
  values.autoRec = controls.autoRecord ? settings::kYes : settings::kNo;
  values.autoRecFormat = controls.bmp ? settings::kBmp : settings::kJpg;
  values.saveFilePath = controls.folder;
  values.compression = std::to_string(controls.quality);
  values.hotKey = controls.hotKey;
  values.bordBlanc = controls.whiteBorder ? settings::kYes : settings::kNo;
  return values;
}

}  // namespace vistrel::prefs
