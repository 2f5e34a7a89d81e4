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
  kGroupBox1 = 100,
  kRadioBMP,
  kRadioJPG,
  kActif,
  kGroupBoxComp,
  kTrackBar1,
  kBof,
  kLabelPourCent,
  kTop,
  kGroupBox2,
  kChoixTouche,
  kNoteTouche,
  kWBorder,
  kBevel2,
  kLabel1,
  kLabel3,
  kLabel2,
  kLabel4,
  kLabel5,
  kLabel6,
  kGroupBox3,
  kEdit1,
  kBrowse,
  kBevel1,
  kInfos,
  kReset,
  kAnnuler,
  kValider,
};

std::span<const LayoutEntry> Layout();
const FontStyle& WindowFont();

}  // namespace vistrel::prefs
