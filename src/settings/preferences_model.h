#pragma once
// What the preferences window shows for the stored settings, and what it
// stores for its controls. No platform types: the window applies each step.
#include <array>
#include <functional>
#include <string>
#include <string_view>

namespace vistrel::prefs {

// The six values as read from section "Settings" (each reader's default
// already applied by the read).
struct StoredValues {
  std::string autoRec;
  std::string autoRecFormat;
  std::string saveFilePath;
  std::string compression;
  std::string hotKey;
  std::string bordBlanc;
};

// The state of the controls that carry a setting.
struct ControlStates {
  bool actif = false;
  bool radioBmp = true;  // else RadioJPG
  std::string edit1;
  int trackBar = 100;
  std::string choixTouche;
  bool wBorder = true;
};

struct SliderState {
  int position;
  std::string label;
};

// Load, one rule per step; comparisons are exact and case-sensitive.
bool ActifFromStored(std::string_view autoRec);
bool RadioBmpFromStored(std::string_view autoRecFormat);
// An empty path shows the default folder, computed only when needed.
std::string FolderFromStored(std::string_view saveFilePath,
                             const std::function<std::string()>& defaultFolder);
// Raises the conversion error for a value that is not an integer.
SliderState SliderFromStored(std::string_view compression);
std::string HotKeyFromStored(std::string_view hotKey);
bool WBorderFromStored(std::string_view bordBlanc);

// The label under the slider for a position: "85 %".
std::string PercentText(int position);
int ClampPosition(int value);

struct KeyValue {
  const char* key;
  std::string value;
};
// The six values written by "Ok", in the order they are written.
std::array<KeyValue, 6> ValuesToWrite(const ControlStates& controls);

}  // namespace vistrel::prefs
