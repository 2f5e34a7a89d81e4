#include "about/about_layout.h"

#include <array>

#include "vistrel_version.h"

namespace vistrel::about {
namespace {

using enum ControlKind;

constexpr std::array kLayout = {
    LayoutEntry{kGroupBox1, "GroupBox1", GroupBox, 0, 0, 0, 273, 105, "  Infos  ", -1},
    LayoutEntry{kImage2, "Image2", Custom, kGroupBox1, 8, 24, 48, 48, nullptr, -1},
    LayoutEntry{kName, "Name", Label, kGroupBox1, 72, 16, 140, 20, "Vistrel v" VISTREL_VERSION, -1,
                CursorKind::Default, flag::kNone, FontStyle{nullptr, 16, true}},
    LayoutEntry{kPub, "Pub", Label, kGroupBox1, 72, 40, 172, 13, "Pour ceux qui gardent une trace.",
                -1},
    LayoutEntry{kURL, "URL", Custom, kGroupBox1, 72, 56, 188, 13, kWebPage, -1, CursorKind::Hand,
                flag::kNone, FontStyle{nullptr, 8}},
    LayoutEntry{kContact, "Contact", Custom, kGroupBox1, 32, 80, 104, 13, kContactAddress, -1,
                CursorKind::Hand, flag::kNone, FontStyle{nullptr, 8}},
    LayoutEntry{kButton1, "Button1", Button, kGroupBox1, 160, 72, 105, 25, "Ok", 0,
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
