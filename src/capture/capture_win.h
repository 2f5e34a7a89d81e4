#pragma once

namespace vistrel {

// The one capture routine, run by the hot-key poll: captures by the modifier
// held, then shows the overlay, restores the preview window or auto-records.
// True when the capture was auto-recorded (the poll then looks again at once).
// The first capture of a press makes its clipboard bitmap at once, so that a
// reader has it as soon as possible; the others only when asked for, or at
// the end of the burst.
enum class ClipboardBitmap { AtOnce, WhenAsked };
bool CaptureScreen(ClipboardBitmap clipboardBitmap);

}  // namespace vistrel
