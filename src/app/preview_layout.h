#pragma once
// The preview window's look and layout as data: sizes, colours, controls.
#include <array>

#include "toolkit/geometry.h"
#include "toolkit/layout.h"
#include "vistrel_version.h"

namespace vistrel::preview {

inline constexpr const char* kWindowText = "  Vistrel v" VISTREL_VERSION;
inline constexpr int kWidth = 200;
inline constexpr int kHeight = 167;
inline constexpr int kStripHeight = 17;
inline constexpr unsigned char kAlpha = 200;
// The see-through colour key, RGB (255, 0, 255).
inline constexpr unsigned char kKeyRed = 255, kKeyGreen = 0, kKeyBlue = 255;
inline constexpr FontStyle kFont = {"MS Sans Serif", 11, false, 1};

enum ControlId {
  kPicture = 100,
  kStrip = 101,
  kRunButton = 102,     // "Run"
  kSaveAsButton = 103,  // "Save as..."
  kSetButton = 104,     // "Set"
  kCloseButton = 105,   // "x"
  kHideButton = 106,    // "-": back to the tray, as "Run"
};

enum MenuId {
  kSaveBmpEntry = 201,  // "*.BMP"
  kSaveJpgEntry = 202,  // "*.JPG"
  kRestoreEntry = 211,
  kConfigEntry = 212,
  kCloseEntry = 213,
};

extern const std::array<LayoutEntry, 7> kLayout;

// Where the window goes the first time it is shown: centred, divisions
// truncated, never above or left of the screen. Sizes are the table's, scaled
// to the display's DPI.
Point CentredPosition(int screenWidth, int screenHeight, int dpi = 96);

// The format menu opens one pixel right of the left edge of "Save as..." and
// right below the strip, wherever the window is (both scaled to the DPI).
Point FormatMenuPosition(Point windowTopLeft, int dpi = 96);

}  // namespace vistrel::preview
