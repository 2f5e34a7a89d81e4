#include "settings/preferences_model.h"

#include <algorithm>

#include "settings/settings_keys.h"
#include "toolkit/messages.h"

namespace vistrel::prefs {

bool ActifFromStored(std::string_view autoRec) { return autoRec == settings::kYes; }

bool RadioBmpFromStored(std::string_view autoRecFormat) { return autoRecFormat == settings::kBmp; }

std::string FolderFromStored(std::string_view saveFilePath,
                             const std::function<std::string()>& defaultFolder) {
  return saveFilePath.empty() ? defaultFolder() : std::string(saveFilePath);
}

SliderState SliderFromStored(std::string_view compression) {
  if (compression.empty()) return {100, PercentText(100)};
  // The label keeps the stored text ("050 %", "150 %"); the slider cannot.
  return {ClampPosition(StrToInt(compression)), std::string(compression) + " %"};
}

std::string HotKeyFromStored(std::string_view hotKey) {
  return hotKey.empty() ? std::string(settings::kDefaultHotKey) : std::string(hotKey);
}

bool WBorderFromStored(std::string_view bordBlanc) { return bordBlanc == settings::kYes; }

std::string PercentText(int position) { return std::to_string(position) + " %"; }

int ClampPosition(int value) { return std::clamp(value, 0, 100); }

std::array<KeyValue, 6> ValuesToWrite(const ControlStates& controls) {
  return {{
      {settings::kAutoRec, controls.actif ? settings::kYes : settings::kNo},
      {settings::kAutoRecFormat, controls.radioBmp ? settings::kBmp : settings::kJpg},
      {settings::kSaveFilePath, controls.edit1},
      {settings::kCompression, std::to_string(controls.trackBar)},
      {settings::kHotKey, controls.choixTouche},
      {settings::kBordBlanc, controls.wBorder ? settings::kYes : settings::kNo},
  }};
}

}  // namespace vistrel::prefs
