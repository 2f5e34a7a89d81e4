#include "app/tray.h"

#include "toolkit/text.h"

namespace vistrel {

namespace {
constexpr std::size_t kTipCapacity = 63;  // 64 UTF-16 units with the terminating zero
constexpr int kLeftButtonUp = 0x202;
constexpr int kRightButtonUp = 0x205;
}  // namespace

std::string TrayTip(std::string_view hotKeyName) {
  std::string tip(hotKeyName);
  tip += " to snap...";
  return CutToUtf16Units(tip, kTipCapacity);
}

TrayAction TrayActionFor(std::int64_t lParam) {
  const int x = static_cast<std::int16_t>(static_cast<std::uint16_t>(lParam & 0xFFFF));
  if (x == kLeftButtonUp) return TrayAction::Restore;
  if (x == kRightButtonUp) return TrayAction::OpenMenu;
  return TrayAction::None;
}

}  // namespace vistrel
