#pragma once
// Rectangle arithmetic of the selection overlay; no platform types.

#include <array>
#include <cstdint>

#include "toolkit/geometry.h"

namespace vistrel {

// The four one-pixel lines along the inside of a frame rectangle: left
// column, right column, top row, bottom row.
std::array<Rect, 4> FrameLines(const Rect& frame);

// The part of r that lies inside a width x height picture; all zero when
// nothing does.
Rect ClipToPicture(const Rect& r, int width, int height);

// The drag state of the overlay, kept for the whole run: the overlay is
// only hidden and shown again, so a click without a move reuses the
// rectangle of the last selection.
struct SelectionState {
  Point SelectionAnchor;
  Rect SelectionRect;  // the rectangle the frame was last drawn on
  std::uint8_t SelectionMargin = 0;

  // Mouse-down: a new anchor and margin; the stored rectangle stays.
  void Press(Point at, std::uint8_t margin);
  // Move with the left button held. False when the pointer is on the
  // anchor's row or column: no frame then, and the rectangle stays.
  bool Move(Point at);
  // The screen area a release copies: the stored rectangle less the margin
  // on every side. A side that would be negative (a click before any
  // selection with margin 1) is 0: an empty capture.
  Rect CaptureArea() const;
};

}  // namespace vistrel
