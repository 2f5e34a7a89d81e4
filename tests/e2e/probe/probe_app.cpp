// Key-state commands for the capture tests: key-state.
#include "probe.h"

#include <cstdlib>

namespace probe {
namespace {

// Reads the asynchronous state of each key named by its virtual-key code. The
// read also clears the key's "pressed since the last query" bit for the whole
// desktop, so a test can start a capture with no modifier left over from the
// one before.
int KeyState(const Args& args) {
  Json states = Json::Object();
  for (const std::string& vk : args.Positional()) {
    const int code = static_cast<int>(std::strtol(vk.c_str(), nullptr, 0));
    states.Set(vk, static_cast<int>(static_cast<unsigned short>(GetAsyncKeyState(code))));
  }
  Print(states);
  return 0;
}

ProbeCommand keyStateCommand(
    "key-state", KeyState,
    "key-state VK...: GetAsyncKeyState of each code (clears its pressed-since bit)");

}  // namespace
}  // namespace probe
