#pragma once
// How a layout table becomes controls: each entry's window class and styles,
// and the order the controls are made in (which is the tab order). No
// platform types: the style bits are the system's own values, written out
// here and checked against its headers where those are included.
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "toolkit/layout.h"

namespace vistrel {

namespace win32 {
inline constexpr std::uint32_t kChild = 0x40000000;
inline constexpr std::uint32_t kVisible = 0x10000000;
inline constexpr std::uint32_t kDisabled = 0x08000000;
inline constexpr std::uint32_t kVScroll = 0x00200000;
inline constexpr std::uint32_t kGroup = 0x00020000;
inline constexpr std::uint32_t kTabStop = 0x00010000;
inline constexpr std::uint32_t kExClientEdge = 0x00000200;
inline constexpr std::uint32_t kExRtlReading = 0x00002000;
inline constexpr std::uint32_t kPushButton = 0x0;
inline constexpr std::uint32_t kAutoCheckBox = 0x3;
inline constexpr std::uint32_t kGroupBox = 0x7;
inline constexpr std::uint32_t kAutoRadioButton = 0x9;
inline constexpr std::uint32_t kStaticLeft = 0x0;
inline constexpr std::uint32_t kStaticRight = 0x2;
inline constexpr std::uint32_t kStaticOwnerDraw = 0xD;
inline constexpr std::uint32_t kStaticNotify = 0x100;
inline constexpr std::uint32_t kStaticCentreImage = 0x200;
inline constexpr std::uint32_t kEditAutoHScroll = 0x80;
inline constexpr std::uint32_t kComboDropDown = 0x2;
inline constexpr std::uint32_t kComboAutoHScroll = 0x40;
inline constexpr std::uint32_t kTrackNoTicks = 0x10;
inline constexpr std::uint32_t kTrackFixedLength = 0x40;

inline constexpr const char* kButtonClass = "BUTTON";
inline constexpr const char* kStaticClass = "STATIC";
inline constexpr const char* kEditClass = "EDIT";
inline constexpr const char* kComboBoxClass = "COMBOBOX";
inline constexpr const char* kTrackBarClass = "msctls_trackbar32";
}  // namespace win32

struct ControlDescription {
  const char* className;
  std::uint32_t style;
  std::uint32_t exStyle;
};

// The control an entry is made as; none for Custom entries, whose windows
// the form makes itself. A bevel is drawn by its form (owner-drawn).
std::optional<ControlDescription> DescribeControl(const LayoutEntry& entry);

// The entries in the order their controls are made: group boxes first (the
// bottom of the z-order), then the rest in tab order, an entry sorting by
// its parents' tab orders, then its own; entries that take no focus after
// the others of their parent, in table order.
std::vector<const LayoutEntry*> CreationOrder(std::span<const LayoutEntry> layout);

}  // namespace vistrel
