#pragma once
#include <stdexcept>
#include <string>

namespace vistrel {

// Raised where a step fails; the window-procedure boundary shows its text in
// the program's error box and skips the rest of the handler. Texts are in
// UTF-8, like every text the program holds.
class Error : public std::runtime_error {
 public:
  explicit Error(const std::string& text) : std::runtime_error(text) {}
};

}  // namespace vistrel
