#include "toolkit/picture_fit.h"

namespace vistrel {

Rect FitPicture(int pictureWidth, int pictureHeight, int boxWidth, int boxHeight) {
  if (pictureWidth <= 0 || pictureHeight <= 0) return {};
  const double ratio = static_cast<double>(pictureWidth) / pictureHeight;
  int width, height;
  if (pictureWidth > pictureHeight) {
    width = boxWidth;
    height = static_cast<int>(boxWidth / ratio);
    if (height > boxHeight) {
      height = boxHeight;
      width = static_cast<int>(boxHeight * ratio);
    }
  } else {
    height = boxHeight;
    width = static_cast<int>(boxHeight * ratio);
    if (width > boxWidth) {
      width = boxWidth;
      height = static_cast<int>(boxWidth / ratio);
    }
  }
  const int left = (boxWidth - width) / 2;
  const int top = (boxHeight - height) / 2;
  return {left, top, left + width, top + height};
}

}  // namespace vistrel
