#include "toolkit/control_description.h"

#include <algorithm>

namespace vistrel {

using namespace win32;

std::optional<ControlDescription> DescribeControl(const LayoutEntry& entry) {
  ControlDescription made{kButtonClass, kChild | kVisible, 0};
  switch (entry.kind) {
    case ControlKind::Button:
      made.style |= kPushButton;
      break;
    case ControlKind::CheckBox:
      made.style |= kAutoCheckBox;
      break;
    case ControlKind::RadioButton:
      made.style |= kAutoRadioButton;
      break;
    case ControlKind::GroupBox:
      made.style |= kGroupBox;
      break;
    case ControlKind::Label:
      made.className = kStaticClass;
      made.style |=
          kStaticNotify | ((entry.flags & flag::kRightAlign) ? kStaticRight : kStaticLeft);
      if (entry.flags & flag::kVCenter) made.style |= kStaticCentreImage;
      break;
    case ControlKind::Edit:
      made.className = kEditClass;
      made.style |= kEditAutoHScroll;
      made.exStyle |= kExClientEdge;
      break;
    case ControlKind::ComboBox:
      made.className = kComboBoxClass;
      made.style |= kComboDropDown | kComboAutoHScroll | kVScroll;
      break;
    case ControlKind::TrackBar:
      made.className = kTrackBarClass;
      made.style |= kTrackNoTicks | kTrackFixedLength;
      break;
    case ControlKind::Bevel:
      made.className = kStaticClass;
      made.style |= kStaticOwnerDraw;
      break;
    case ControlKind::Strip:
      made.className = kStaticClass;
      break;
    case ControlKind::Custom:
      return std::nullopt;
  }
  // A group box's tab order only orders its contents; it takes no focus.
  if (entry.tabOrder >= 0 && entry.kind != ControlKind::GroupBox) made.style |= kTabStop;
  // A control that takes no focus ends the arrow group before it.
  if ((entry.flags & flag::kGroupStart) || entry.tabOrder < 0) made.style |= kGroup;
  if (entry.flags & flag::kDisabled) made.style |= kDisabled;
  if (entry.flags & flag::kRightToLeft) made.exStyle |= kExRtlReading;
  return made;
}

std::vector<const LayoutEntry*> CreationOrder(std::span<const LayoutEntry> layout) {
  // No focus sorts after every tab order of its parent.
  static constexpr int kAfterTheTabStops = 1 << 20;
  auto tabPath = [layout](const LayoutEntry& entry) {
    std::vector<int> path;
    for (const LayoutEntry* at = &entry; at; at = ParentOf(layout, *at))
      path.insert(path.begin(), at->tabOrder < 0 ? kAfterTheTabStops : at->tabOrder);
    return path;
  };
  std::vector<const LayoutEntry*> order;
  for (const LayoutEntry& entry : layout) order.push_back(&entry);
  std::stable_sort(order.begin(), order.end(),
                   [&tabPath](const LayoutEntry* a, const LayoutEntry* b) {
                     const bool ga = a->kind == ControlKind::GroupBox;
                     const bool gb = b->kind == ControlKind::GroupBox;
                     if (ga != gb) return ga;
                     return tabPath(*a) < tabPath(*b);
                   });
  return order;
}

}  // namespace vistrel
