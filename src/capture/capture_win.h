#pragma once

namespace vistrel {

// The one capture routine, run by the hot-key poll: captures by the modifier
// held, then shows the overlay, restores the preview window or auto-records.
// True when the capture was auto-recorded (the poll then looks again at once).
bool CaptureScreen();

}  // namespace vistrel
