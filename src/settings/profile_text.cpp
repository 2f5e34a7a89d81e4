#include "settings/profile_text.h"

#include <cstddef>

namespace vistrel::profile_text {

Encoding EncodingOf(std::string_view bytes) {
  return bytes.starts_with(kUtf16Mark) ? Encoding::Utf16 : Encoding::Ansi;
}

bool IsUtf8(std::string_view bytes) {
  std::size_t at = 0;
  while (at < bytes.size()) {
    const auto lead = static_cast<unsigned char>(bytes[at]);
    std::size_t more = 0;
    unsigned min = 0;
    unsigned code = 0;
    if (lead < 0x80) {
      ++at;
      continue;
    } else if (lead >= 0xC2 && lead <= 0xDF) {
      more = 1, min = 0x80, code = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      more = 2, min = 0x800, code = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      more = 3, min = 0x10000, code = lead & 0x07;
    } else {
      return false;
    }
    if (at + more >= bytes.size()) return false;
    for (std::size_t i = 1; i <= more; ++i) {
      const auto next = static_cast<unsigned char>(bytes[at + i]);
      if ((next & 0xC0) != 0x80) return false;
      code = (code << 6) | (next & 0x3F);
    }
    // Overlong forms, surrogates and what lies beyond U+10FFFF are not UTF-8.
    if (code < min || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) return false;
    at += more + 1;
  }
  return true;
}

namespace {

std::string_view Trimmed(std::string_view text) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

bool SameName(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c + 32) : c; };
  for (std::size_t i = 0; i < a.size(); ++i)
    if (lower(a[i]) != lower(b[i])) return false;
  return true;
}

}  // namespace

std::optional<std::string> FindValue(std::string_view text, std::string_view section,
                                     std::string_view key) {
  bool inSection = false;
  while (!text.empty()) {
    const std::size_t end = text.find_first_of("\r\n");
    std::string_view line = Trimmed(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (line.starts_with('[')) {
      const std::size_t close = line.find(']');
      const std::string_view name =
          Trimmed(line.substr(1, close == std::string_view::npos ? line.npos : close - 1));
      inSection = SameName(name, section);
      continue;
    }
    if (!inSection) continue;
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos) continue;
    if (SameName(Trimmed(line.substr(0, equals)), key))
      return std::string(Trimmed(line.substr(equals + 1)));
  }
  return std::nullopt;
}

}  // namespace vistrel::profile_text
