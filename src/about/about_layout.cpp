#include "about/about_layout.h"

#include <array>

#include "vistrel_version.h"

namespace vistrel::about {
namespace {

using enum ControlKind;

constexpr std::array kLayout = {
    LayoutEntry{kFrame, "GroupBox1", GroupBox, 0, 0, 0, 273, 105, "  Infos  ", -1},
    LayoutEntry{kIcon, "Image2", Custom, kFrame, 8, 24, 48, 48, nullptr, -1},
    LayoutEntry{kNameLabel, "Name", Label, kFrame, 72, 16, 140, 20, "Vistrel v" VISTREL_VERSION, -1,
                CursorKind::Default, flag::kNone, FontStyle{nullptr, 16, true}},
    LayoutEntry{kDedication, "Pub", Label, kFrame, 72, 40, 172, 13,
                "Pour ceux qui gardent une trace.", -1},
    LayoutEntry{kWebLink, "URL", Custom, kFrame, 72, 56, 188, 13, kWebPage, -1, CursorKind::Hand,
                flag::kNone, FontStyle{nullptr, 8}},
    LayoutEntry{kMailLink, "Contact", Custom, kFrame, 32, 80, 104, 13, kContactAddress, -1,
                CursorKind::Hand, flag::kNone, FontStyle{nullptr, 8}},
    LayoutEntry{kOkButton, "Button1", Button, kFrame, 160, 72, 105, 25, "Ok", 0,
                CursorKind::Default, flag::kGroupStart},
};

constexpr FontStyle kWindowFont = {"MS Sans Serif", 11};

}  // namespace

std::span<const LayoutEntry> Layout() { return kLayout; }
const FontStyle& WindowFont() { return kWindowFont; }

std::string ContactLink() {
  return std::string("mailto:") + kContactAddress + "?subject=A propos de Vistrel...";
}

}  // namespace vistrel::about
