#pragma once
#include <string>
#include <string_view>

namespace vistrel {

// The texts a user can meet in the error box, built from their fixed wording.
namespace messages {
// The application's title: its taskbar button and the caption of its boxes.
inline constexpr const char* kApplicationTitle = "Vistrel";

std::string ClipboardCannotOpen();
std::string NotAnInteger(std::string_view text);
std::string CannotCreateFile(std::string_view path, std::string_view systemText);
std::string StreamWriteError();
std::string CannotAssign(std::string_view from, std::string_view to);
std::string JpegError(int messageNumber);
std::string CannotWriteTo(std::string_view fileName);
std::string SettingsReset();
}  // namespace messages

// What the error box shows for an error text: a full stop is added when the
// text is not empty and its last character's code is above that of '.' (in
// UTF-8 the last byte of any character beyond ASCII is above it too).
std::string WithFullStop(std::string text);

}  // namespace vistrel
