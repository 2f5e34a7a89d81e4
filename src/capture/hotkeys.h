#pragma once
#include <array>
#include <string_view>

namespace vistrel {

// One pollable key: the name the user picks and its virtual-key code.
struct HotKey {
  const char* name;
  unsigned char code;
};

// The 26 keys on offer, in the order they are tested and listed.
extern const std::array<HotKey, 26> HotKeyTable;

// The code polled for VK_F12, used when a name matches no entry.
inline constexpr unsigned char kFallbackHotKey = 123;

// The code for a name, compared exactly (case and blanks count); F12 when the
// name is not in the table, the empty name included.
unsigned char MapHotKey(std::string_view name);

}  // namespace vistrel
