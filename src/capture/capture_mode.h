#pragma once
#include <functional>

namespace vistrel {

enum class CaptureMode { FullScreen, WindowAndFrame, WindowContent, MouseSelection };
enum class Modifier { Alt, Ctrl, Shift };

// The first modifier found pressed chooses the mode. Each query consumes the
// key's "pressed since the last query" bit, so a modifier is queried only when
// every one before it read zero: Alt, then Ctrl, then Shift.
CaptureMode ChooseCaptureMode(const std::function<bool(Modifier)>& pressed);

enum class AfterCapture { ShowOverlay, RestorePreview, AutoRecord };

// What follows a capture: a selection always goes to the overlay; otherwise
// auto-record when it is on.
AfterCapture DecideAfterCapture(bool selectionActive, bool autoRecordOn);

}  // namespace vistrel
