#pragma once
#include <optional>

#include "toolkit/geometry.h"

namespace vistrel {

// The part of a screen area that can be read: its intersection with the
// screen, and where that part lies in a picture of the whole area. The rest
// of the picture stays as it was made (white). Nothing when no part of the
// area is on the screen.
struct ScreenPart {
  Rect source;        // screen coordinates
  Point destination;  // in the picture
};
std::optional<ScreenPart> ReadablePart(const Rect& area, const Rect& screen);

}  // namespace vistrel
