#pragma once
#include <cstdint>
#include <string>
#include <string_view>

namespace vistrel {

// The tray tooltip: the hot-key name as read, then " to snap...", cut to the
// 63 characters the icon record holds.
std::string TrayTip(std::string_view hotKeyName);

enum class TrayAction { None, Restore, OpenMenu };

// The icon reports its mouse events as mouse moves to the window: the x of the
// move (the low 16 bits of lParam, signed) is the mouse message over the icon.
// Ordinary moves over the window itself have x inside its width: no action.
TrayAction TrayActionFor(std::int64_t lParam);

}  // namespace vistrel
