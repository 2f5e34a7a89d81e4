#include "imageio/save_as_win.h"

#include "toolkit/picture_win.h"

namespace vistrel {

void BmpWriter(const Picture&, const std::string&) {}
void JpegWriter(const Picture&, const std::string&, int) {}
void SaveAsBMP(HWND, const Picture&) {}
void SaveAsJPG(HWND, const Picture&) {}

}  // namespace vistrel
