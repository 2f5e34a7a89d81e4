#include "app/drag.h"

namespace vistrel {

void Grab(DragState& drag, Point windowTopLeft, Point cursor) {
  if (drag.startLeft != -1) return;
  drag = {windowTopLeft.x, windowTopLeft.y, cursor.x, cursor.y};
}

// Worked from the screen cursor, never from the event's own coordinates:
// those are relative to the picture, which travels with the window.
std::optional<Point> DragTarget(const DragState& drag, Point cursor) {
  if (drag.startLeft == -1) return std::nullopt;
  return Point{drag.startLeft + (cursor.x - drag.startCursorX),
               drag.startTop + (cursor.y - drag.startCursorY)};
}

void Release(DragState& drag) { drag.startLeft = -1; }

}  // namespace vistrel
