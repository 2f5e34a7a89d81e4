#include "toolkit/control_spec.h"

#include <algorithm>

namespace vistrel {

using namespace win32;

std::optional<ControlSpec> DescribeControl(const LayoutEntry& entry) {
  ControlSpec spec{kButtonClass, kChild | kVisible, 0};
  switch (entry.kind) {
    case ControlKind::Button:
      spec.style |= kPushButton;
      break;
    case ControlKind::CheckBox:
      spec.style |= kAutoCheckBox;
      break;
    case ControlKind::RadioButton:
      spec.style |= kAutoRadioButton;
      break;
    case ControlKind::GroupBox:
      spec.style |= kGroupBox;
      break;
    case ControlKind::Label:
      spec.className = kStaticClass;
      spec.style |=
          kStaticNotify | ((entry.flags & flag::kRightAlign) ? kStaticRight : kStaticLeft);
      if (entry.flags & flag::kVCenter) spec.style |= kStaticCentreImage;
      break;
    case ControlKind::Edit:
      spec.className = kEditClass;
      spec.style |= kEditAutoHScroll;
      spec.exStyle |= kExClientEdge;
      break;
    case ControlKind::ComboBox:
      spec.className = kComboBoxClass;
      spec.style |= kComboDropDown | kComboAutoHScroll | kVScroll;
      break;
    case ControlKind::TrackBar:
      spec.className = kTrackBarClass;
      spec.style |= kTrackNoTicks | kTrackFixedLength;
      break;
    case ControlKind::Bevel:
      spec.className = kStaticClass;
      spec.style |= kStaticOwnerDraw;
      break;
    case ControlKind::Strip:
      spec.className = kStaticClass;
      break;
    case ControlKind::Custom:
      return std::nullopt;
  }
  // A group box's tab order only orders its contents; it takes no focus.
  if (entry.tabOrder >= 0 && entry.kind != ControlKind::GroupBox) spec.style |= kTabStop;
  // A control that takes no focus ends the arrow group before it.
  if ((entry.flags & flag::kGroupStart) || entry.tabOrder < 0) spec.style |= kGroup;
  if (entry.flags & flag::kDisabled) spec.style |= kDisabled;
  if (entry.flags & flag::kRightToLeft) spec.exStyle |= kExRtlReading;
  return spec;
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
