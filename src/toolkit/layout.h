#pragma once
// Control layouts as data: each window's table is transcribed once, in pixels
// at 96 DPI, and built by the toolkit. No platform types here.

#include <algorithm>
#include <span>

namespace vistrel {

enum class ControlKind {
  Button,
  CheckBox,
  RadioButton,  // the first radio button of a group carries Flag::GroupStart
  Label,
  Edit,
  ComboBox,  // drop-down list with an editable text field
  GroupBox,
  TrackBar,
  Bevel,   // sunken frame, no behaviour
  Strip,   // plain coloured band, no behaviour
  Custom,  // a window of the form's own (picture, link label)
};

enum class CursorKind { Default, Hand, SizeAll, Drag, Cross };

struct FontStyle {
  const char* face = nullptr;  // nullptr: the window's font
  int height = 0;              // character height in pixels
  bool bold = false;
  int charset = 1;  // 1 = default, 0 = ANSI
};

namespace flag {
inline constexpr unsigned kNone = 0;
inline constexpr unsigned kDisabled = 1u << 0;
inline constexpr unsigned kChecked = 1u << 1;
inline constexpr unsigned kRightToLeft = 1u << 2;
inline constexpr unsigned kRightAlign = 1u << 3;
inline constexpr unsigned kVCenter = 1u << 4;
inline constexpr unsigned kGroupStart = 1u << 5;
}  // namespace flag

struct LayoutEntry {
  int id;            // control id, unique in the window
  const char* name;  // the control's name, for the inspector and tests
  ControlKind kind;
  int parentId;                  // 0: the window itself; else the id of a group box
  int left, top, width, height;  // relative to the parent's client area
  const char* caption;
  int tabOrder;  // -1: takes no focus
  CursorKind cursor = CursorKind::Default;
  unsigned flags = flag::kNone;
  FontStyle font = {};
};

// A length of the tables, in pixels at 96 DPI, in pixels at `dpi`, rounded.
// Windows are laid out at the display's scale, as the rest of the desktop.
constexpr int ScaleToDpi(int pixels, int dpi) {
  return (pixels * dpi + (pixels < 0 ? -48 : 48)) / 96;
}

// The entry of that id, or nullptr.
inline const LayoutEntry* FindEntry(std::span<const LayoutEntry> layout, int id) {
  auto it = std::find_if(layout.begin(), layout.end(),
                         [id](const LayoutEntry& entry) { return entry.id == id; });
  return it == layout.end() ? nullptr : &*it;
}

// The group box an entry sits in, or nullptr for the window itself.
inline const LayoutEntry* ParentOf(std::span<const LayoutEntry> layout, const LayoutEntry& entry) {
  return entry.parentId == 0 ? nullptr : FindEntry(layout, entry.parentId);
}

// A control's font: its own face and height where it names them, else the
// window's; its own weight and charset.
inline FontStyle EntryFont(const FontStyle& windowFont, const FontStyle& own) {
  return {own.face ? own.face : windowFont.face, own.height ? own.height : windowFont.height,
          own.bold, own.charset};
}

}  // namespace vistrel
