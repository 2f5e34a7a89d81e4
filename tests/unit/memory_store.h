#pragma once
// The settings section held in memory, as the profile service keeps it:
// keys matched without case, a new key appended, a known one rewritten in
// place. Counts the reads, so tests can see what a reader asked for.
#include <algorithm>
#include <cctype>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "settings/settings.h"

namespace vistrel::testing {

class MemoryStore final : public settings::Store {
 public:
  std::vector<std::pair<std::string, std::string>> lines;
  mutable std::vector<std::string> reads;
  bool refuseWrites = false;

  std::string Read(const char* key, const std::string& fallback) const override {
    reads.push_back(key);
    const auto at = Find(key);
    return at == lines.end() ? fallback : at->second;
  }
  bool Has(const char* key) const override { return Find(key) != lines.end(); }
  void Write(const char* key, const std::string& value) override {
    if (refuseWrites) throw std::runtime_error("refused");
    auto at = std::find_if(lines.begin(), lines.end(),
                           [&](const auto& line) { return Same(line.first, key); });
    if (at == lines.end())
      lines.emplace_back(key, value);
    else
      at->second = value;
  }
  void RemoveAll() override { lines.clear(); }

  // The section as the file would hold it, one "key=value" per line.
  std::string Text() const {
    std::string text;
    for (const auto& [key, value] : lines) text += key + "=" + value + "\n";
    return text;
  }

 private:
  static bool Same(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
             return std::tolower(static_cast<unsigned char>(x)) ==
                    std::tolower(static_cast<unsigned char>(y));
           });
  }
  std::vector<std::pair<std::string, std::string>>::const_iterator Find(const char* key) const {
    return std::find_if(lines.begin(), lines.end(),
                        [&](const auto& line) { return Same(line.first, key); });
  }
};

}  // namespace vistrel::testing
