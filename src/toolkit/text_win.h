#pragma once
#include <string>
#include <string_view>

namespace vistrel {

// The program keeps every text in UTF-8 and speaks UTF-16 to Windows: these
// are the only conversions between the two. Windows' own code page (ANSI)
// plays no part in them, so texts and file names are the same under every
// language setting.
std::wstring Wide(std::string_view utf8);
std::string Utf8(std::wstring_view wide);

}  // namespace vistrel
