#include "toolkit/text.h"

namespace vistrel {

std::string CutToUtf16Units(std::string_view utf8, std::size_t units) {
  std::size_t used = 0, at = 0;
  while (at < utf8.size()) {
    const auto lead = static_cast<unsigned char>(utf8[at]);
    // The lead byte tells the character's length; a stray byte counts as one
    // unit (Windows shows it as U+FFFD).
    const std::size_t bytes = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    const std::size_t needed = bytes == 4 ? 2 : 1;
    if (used + needed > units) break;
    used += needed;
    at += bytes;
  }
  return std::string(utf8.substr(0, at < utf8.size() ? at : utf8.size()));
}

}  // namespace vistrel
