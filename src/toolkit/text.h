#pragma once
#include <cstddef>
#include <string>
#include <string_view>

namespace vistrel {

// A UTF-8 text cut to what a Windows buffer of `units` UTF-16 code units
// holds, never inside a character: a character beyond the plane of the
// usual scripts takes two units.
std::string CutToUtf16Units(std::string_view utf8, std::size_t units);

}  // namespace vistrel
