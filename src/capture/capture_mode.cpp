#include "capture/capture_mode.h"

namespace vistrel {

CaptureMode ChooseCaptureMode(const std::function<bool(Modifier)>& pressed) {
  if (pressed(Modifier::Alt)) return CaptureMode::WindowAndFrame;
  if (pressed(Modifier::Ctrl)) return CaptureMode::WindowContent;
  if (pressed(Modifier::Shift)) return CaptureMode::MouseSelection;
  return CaptureMode::FullScreen;
}

AfterCapture DecideAfterCapture(bool selectionActive, bool autoRecordOn) {
  if (selectionActive) return AfterCapture::ShowOverlay;
  return autoRecordOn ? AfterCapture::AutoRecord : AfterCapture::RestorePreview;
}

}  // namespace vistrel
