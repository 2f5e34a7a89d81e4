#pragma once
#include <optional>
#include <string>
#include <string_view>

// A profile file's text as bytes, for what the system's profile service
// cannot tell: which encoding the bytes are in, and a value the service
// could only read mangled.
namespace vistrel::profile_text {

enum class Encoding { Ansi, Utf16 };

// A file that starts with the UTF-16 (little-endian) byte-order mark is
// UTF-16 throughout; any other is in an 8-bit code page.
Encoding EncodingOf(std::string_view bytes);
inline constexpr std::string_view kUtf16Mark = "\xFF\xFE";

// Whether the bytes are well-formed UTF-8 (pure ASCII is).
bool IsUtf8(std::string_view bytes);

// The value of key in section of a profile text in UTF-8, as the profile
// service finds it: names without letter case (ASCII letters), blanks
// around names and values dropped, the first such key. nullopt when the section or the key is
// missing.
std::optional<std::string> FindValue(std::string_view text, std::string_view section,
                                     std::string_view key);

}  // namespace vistrel::profile_text
