#include "capture/hotkeys.h"

namespace vistrel {

const std::array<HotKey, 26> HotKeyTable = {{
    {"Echap", 27},    {"F1", 112},      {"F2", 113},      {"F3", 114},      {"F4", 115},
    {"F5", 116},      {"F6", 117},      {"F7", 118},      {"F8", 119},      {"F9", 120},
    {"F10", 121},     {"F11", 122},     {"F12", 123},     {"Impr.Ecr", 44}, {"Fin", 35},
    {"Inser", 45},    {"Suppr", 46},    {"Pg.UP", 33},    {"Pg.DW", 34},    {"Arrow.UP", 38},
    {"Arrow.DW", 40}, {"Arrow.LT", 37}, {"Arrow.RT", 39}, {"Mouse.L", 1},   {"Mouse.R", 2},
    {"Mouse.M", 4},
}};

unsigned char MapHotKey(std::string_view name) {
  unsigned char code = 0;
  for (const HotKey& key : HotKeyTable) {
    if (name == key.name) code = key.code;
  }
  return code != 0 ? code : kFallbackHotKey;
}

}  // namespace vistrel
