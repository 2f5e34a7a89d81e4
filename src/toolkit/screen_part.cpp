#include "toolkit/screen_part.h"

#include <algorithm>

namespace vistrel {

std::optional<ScreenPart> ReadablePart(const Rect& area, const Rect& screen) {
  const Rect source{std::max(area.left, screen.left), std::max(area.top, screen.top),
                    std::min(area.right, screen.right), std::min(area.bottom, screen.bottom)};
  if (source.Width() <= 0 || source.Height() <= 0) return std::nullopt;
  return ScreenPart{source, {source.left - area.left, source.top - area.top}};
}

}  // namespace vistrel
