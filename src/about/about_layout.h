#pragma once
// The about window's controls, in pixels at 96 DPI, and its fixed texts.
#include <span>
#include <string>

#include "toolkit/layout.h"

namespace vistrel::about {

inline constexpr int kClientWidth = 273;
inline constexpr int kClientHeight = 105;
inline constexpr const char* kCaption = "  About...";

inline constexpr const char* kWebPage = "https://www.example.org/vistrel";
inline constexpr const char* kContactAddress = "vistrel@example.org";

// Colours as 0x00BBGGRR, the way the system takes them.
inline constexpr unsigned kNavy = 0x800000;
inline constexpr unsigned kTeal = 0x808000;
inline constexpr unsigned kBlue = 0xFF0000;

// The resource id of the 48 x 48 icon.
inline constexpr int kIconResource = 2;

enum ControlId : int {
  kFrame = 100,
  kIcon,
  kNameLabel,
  kDedication,
  kWebLink,
  kMailLink,
  kOkButton,
};

std::span<const LayoutEntry> Layout();
const FontStyle& WindowFont();

// The mail link: the address with its fixed subject line.
std::string ContactLink();

}  // namespace vistrel::about
