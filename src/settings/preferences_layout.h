#pragma once
// The preferences window's controls, in pixels at 96 DPI.
#include <span>

#include "toolkit/layout.h"

namespace vistrel::prefs {

inline constexpr int kClientWidth = 329;
inline constexpr int kClientHeight = 273;
inline constexpr const char* kCaption = "  Préférences...";

// Ids start above IDOK/IDCANCEL so that no control answers Enter or Escape.
enum ControlId : int {
  kAutoRecordGroup = 100,
  kBmpRadio,
  kJpgRadio,
  kAutoRecordBox,
  kQualityGroup,
  kQualitySlider,
  kLowLabel,
  kQualityLabel,
  kHighLabel,
  kHotKeyGroup,
  kHotKeyBox,
  kHotKeyNote,
  kWhiteBorderBox,
  kLegendBevel,
  kAltLabel,
  kAltText,
  kCtrlLabel,
  kCtrlText,
  kShiftLabel,
  kShiftText,
  kFolderGroup,
  kFolderEdit,
  kBrowseButton,
  kInfosBevel,
  kInfosButton,
  kResetButton,
  kCancelButton,
  kOkButton,
};

std::span<const LayoutEntry> Layout();
const FontStyle& WindowFont();

}  // namespace vistrel::prefs
