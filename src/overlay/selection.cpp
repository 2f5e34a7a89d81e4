#include "overlay/selection.h"

#include <algorithm>

namespace vistrel {

std::array<Rect, 4> FrameLines(const Rect& frame) {
  const auto [l, t, r, b] = frame;
  return {Rect{l, t, l + 1, b}, Rect{r - 1, t, r, b}, Rect{l, t, r, t + 1}, Rect{l, b - 1, r, b}};
}

Rect ClipToPicture(const Rect& r, int width, int height) {
  const Rect clipped{std::max(r.left, 0), std::max(r.top, 0), std::min(r.right, width),
                     std::min(r.bottom, height)};
  if (clipped.left >= clipped.right || clipped.top >= clipped.bottom) return {};
  return clipped;
}

void SelectionState::Press(Point at, std::uint8_t margin) {
  SelectionAnchor = at;
  SelectionMargin = margin;
}

bool SelectionState::Move(Point at) {
  const Point a = SelectionAnchor;
  if (at.x == a.x || at.y == a.y) return false;
  // The margin goes outside the dragged area: one pixel before the smaller
  // corner, and past the larger one so that both end points stay inside.
  const int m = SelectionMargin;
  SelectionRect = {std::min(at.x, a.x) - m, std::min(at.y, a.y) - m, std::max(at.x, a.x) + 2 * m,
                   std::max(at.y, a.y) + 2 * m};
  return true;
}

Rect SelectionState::CaptureArea() const {
  const int m = SelectionMargin;
  const int left = SelectionRect.left + m, top = SelectionRect.top + m;
  const int width = std::max(SelectionRect.Width() - 2 * m, 0);
  const int height = std::max(SelectionRect.Height() - 2 * m, 0);
  return {left, top, left + width, top + height};
}

}  // namespace vistrel
