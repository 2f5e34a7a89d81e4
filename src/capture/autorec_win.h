#pragma once
#include <string>

namespace vistrel {

class Picture;

// The four settings a capture reads after every capture, in this order.
struct AutoRecSettings {
  std::string autoRec;      // "non" switches auto-record off; anything else is on
  std::string format;       // "bmp" or "jpg"; anything else writes nothing
  std::string folder;       // used as read
  std::string compression;  // JPEG quality as decimal text
};

// Reads the four settings (one open and close of the profile file).
AutoRecSettings ReadAutoRecSettings();

// Writes the captured picture into the folder under its date-and-time name.
void AutoRecord(const Picture& picture, const AutoRecSettings& settings);

}  // namespace vistrel
