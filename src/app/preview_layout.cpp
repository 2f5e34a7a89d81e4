#include "app/preview_layout.h"

#include <algorithm>

namespace vistrel::preview {

namespace {
constexpr FontStyle kButtonFontDefaultCharset = {"System", 11, true, 1};
constexpr FontStyle kButtonFontAnsi = {"System", 11, true, 0};
}  // namespace

// "Run" and "Save as..." share column 56, "Save as..." and "Set" column 112:
// the buttons overlap by one pixel, as drawn.
const std::array<LayoutEntry, 7> kLayout = {{
    {kPicture, "Image1", ControlKind::Custom, 0, 0, 17, 200, 150, nullptr, -1, CursorKind::SizeAll},
    {kStrip, "ActionToolBar1", ControlKind::Strip, 0, 0, 0, 200, 17, nullptr, -1},
    {kRunButton, "Button1", ControlKind::Button, 0, 0, 0, 57, 17, "Run", 0, CursorKind::Hand},
    {kSaveAsButton, "Button2", ControlKind::Button, 0, 56, 0, 57, 17, "Save as...", 1,
     CursorKind::Hand},
    {kSetButton, "Button3", ControlKind::Button, 0, 112, 0, 25, 17, "Set", 5, CursorKind::Drag},
    {kHideButton, "Button5", ControlKind::Button, 0, 170, 0, 15, 13, "-", 4, CursorKind::Default,
     flag::kRightToLeft, kButtonFontDefaultCharset},
    {kCloseButton, "Button4", ControlKind::Button, 0, 185, 0, 15, 13, "x", 3, CursorKind::Default,
     flag::kRightToLeft, kButtonFontAnsi},
}};

Point CentredPosition(int screenWidth, int screenHeight, int dpi) {
  const int width = ScaleToDpi(kWidth, dpi), height = ScaleToDpi(kHeight, dpi);
  return {std::max((screenWidth - width) / 2, 0), std::max((screenHeight - height) / 2, 0)};
}

Point FormatMenuPosition(Point windowTopLeft, int dpi) {
  const int left = FindEntry(kLayout, kSaveAsButton)->left + 1;
  return {windowTopLeft.x + ScaleToDpi(left, dpi), windowTopLeft.y + ScaleToDpi(kStripHeight, dpi)};
}

}  // namespace vistrel::preview
