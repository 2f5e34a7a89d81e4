#pragma once
#include "toolkit/geometry.h"

namespace vistrel {

// Where a picture of pictureWidth x pictureHeight is drawn in a box of
// boxWidth x boxHeight: scaled up or down with its proportions kept, then
// centred, every division truncated.
Rect FitPicture(int pictureWidth, int pictureHeight, int boxWidth, int boxHeight);

}  // namespace vistrel
