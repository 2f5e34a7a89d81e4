#pragma once
#include <optional>

#include "toolkit/geometry.h"

namespace vistrel {

// The anchor of a drag of the preview window by its picture. A start left of
// -1 means no drag is in progress; only that field is tested.
struct DragState {
  int startLeft = -1;
  int startTop = -1;
  int startCursorX = -1;
  int startCursorY = -1;
};

// A button went down: anchors the drag unless one is already anchored, so a
// second button does not move the anchor.
void Grab(DragState& drag, Point windowTopLeft, Point cursor);
// The window's new top-left corner for a cursor position in screen
// coordinates, or nothing when no drag is anchored.
std::optional<Point> DragTarget(const DragState& drag, Point cursor);
// A button went up: the drag ends; the rest of the anchor is kept.
void Release(DragState& drag);

}  // namespace vistrel
