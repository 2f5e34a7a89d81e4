#pragma once
// What the preferences window shows for the stored settings, and what it
// stores for its controls. No platform types: the window applies each step.
#include <functional>
#include <string>
#include <string_view>

#include "settings/settings.h"

namespace vistrel::prefs {

// The state of the controls that carry a setting.
struct ControlStates {
  bool autoRecord = false;
  bool bmp = true;  // else RadioJPG
  std::string folder;
  int quality = 100;
  std::string hotKey;
  bool whiteBorder = true;
};

struct QualityState {
  int position;
  std::string label;
};

// Load, one rule per step; comparisons are exact and case-sensitive.
bool AutoRecordTicked(std::string_view autoRec);
bool BmpSelected(std::string_view autoRecFormat);
// An empty path shows the default folder, computed only when needed.
std::string FolderShown(std::string_view saveFilePath,
                        const std::function<std::string()>& defaultFolder);
// Raises the conversion error for a value that is not an integer.
QualityState QualityShown(std::string_view compression);
std::string HotKeyShown(std::string_view hotKey);
bool WhiteBorderTicked(std::string_view bordBlanc);

// The label under the slider for a position: "85 %".
std::string PercentText(int position);
int ClampPosition(int value);

// The six values "Ok" writes for the controls.
settings::Values ValuesToWrite(const ControlStates& controls);

}  // namespace vistrel::prefs
