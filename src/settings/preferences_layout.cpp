#include "settings/preferences_layout.h"

#include <array>

namespace vistrel::prefs {
namespace {

using enum ControlKind;
using namespace flag;

// Tab orders count within each parent, as the keyboard walks them.
constexpr std::array kLayout = {
    LayoutEntry{kGroupBox1, "GroupBox1", GroupBox, 0, 0, 0, 161, 57, "  Enregistrement 'AutoRec'  ",
                0},
    LayoutEntry{kRadioBMP, "RadioBMP", RadioButton, kGroupBox1, 80, 16, 57, 17, "*.bmp", 0,
                CursorKind::Default, kGroupStart | kChecked | kDisabled},
    LayoutEntry{kRadioJPG, "RadioJPG", RadioButton, kGroupBox1, 80, 32, 57, 17, "*.jpg", 1,
                CursorKind::Default, kDisabled},
    LayoutEntry{kActif, "Actif", CheckBox, kGroupBox1, 16, 24, 45, 17, "Actif", 2,
                CursorKind::Default, kGroupStart},
    LayoutEntry{kGroupBoxComp, "GroupBoxComp", GroupBox, 0, 168, 0, 161, 57, "  Compression jpg  ",
                1},
    LayoutEntry{kTrackBar1, "TrackBar1", TrackBar, kGroupBoxComp, 8, 16, 145, 17, nullptr, 0,
                CursorKind::Hand, kGroupStart},
    LayoutEntry{kBof, "Bof", Label, kGroupBoxComp, 8, 38, 25, 13, "Bof...", -1},
    LayoutEntry{kLabelPourCent, "LabelPourCent", Label, kGroupBoxComp, 70, 38, 29, 13, "100 %", -1,
                CursorKind::Default, kRightAlign | kVCenter},
    LayoutEntry{kTop, "Top", Label, kGroupBoxComp, 128, 38, 25, 13, "Top !", -1},
    LayoutEntry{kGroupBox2, "GroupBox2", GroupBox, 0, 0, 56, 329, 129, "  Assignation touche  ", 7},
    LayoutEntry{kChoixTouche, "ChoixTouche", ComboBox, kGroupBox2, 16, 16, 89, 21, nullptr, 0,
                CursorKind::Default, kGroupStart},
    LayoutEntry{kNoteTouche, "NoteTouche", Label, kGroupBox2, 112, 12, 209, 26,
                "Assigner une touche à la capture d'écran conserve la fonction initiale de "
                "cette touche.",
                -1, CursorKind::Default, kWordWrap},
    LayoutEntry{kWBorder, "WBorder", CheckBox, kGroupBox2, 16, 40, 297, 17,
                "Bord blanc en mode 'sélection souris'.", 1, CursorKind::Default,
                kGroupStart | kChecked},
    LayoutEntry{kBevel2, "Bevel2", Bevel, kGroupBox2, 8, 64, 313, 57, nullptr, -1},
    LayoutEntry{kLabel1, "Label1", Label, kGroupBox2, 16, 72, 71, 13, "ALT + [touche]", -1},
    LayoutEntry{kLabel3, "Label3", Label, kGroupBox2, 96, 72, 195, 13,
                " =  capture la fenêtre active et son cadre.", -1},
    LayoutEntry{kLabel2, "Label2", Label, kGroupBox2, 16, 88, 73, 13, "CTRL+[touche]", -1},
    LayoutEntry{kLabel4, "Label4", Label, kGroupBox2, 96, 88, 201, 13,
                " =  capture le contenu de la fenêtre active.", -1},
    LayoutEntry{kLabel5, "Label5", Label, kGroupBox2, 16, 104, 76, 13, "SHIFT+[touche]", -1},
    LayoutEntry{kLabel6, "Label6", Label, kGroupBox2, 96, 104, 221, 13,
                " =  sélection souris (mode 'AutoRec' inopérant).", -1},
    LayoutEntry{kGroupBox3, "GroupBox3", GroupBox, 0, 0, 184, 329, 57,
                "  Répertoire d'enregistrement  ", 2},
    LayoutEntry{kEdit1, "Edit1", Edit, kGroupBox3, 16, 24, 249, 21, nullptr, 1, CursorKind::Default,
                kGroupStart},
    LayoutEntry{kBrowse, "Browse", Button, kGroupBox3, 272, 22, 49, 25, "Browse", 0,
                CursorKind::Default, kGroupStart},
    LayoutEntry{kBevel1, "Bevel1", Bevel, 0, 0, 248, 65, 25, nullptr, -1},
    LayoutEntry{kInfos, "Infos", Button, 0, 8, 252, 49, 17, "Infos", 6, CursorKind::Default,
                kGroupStart},
    LayoutEntry{kReset, "Reset", Button, 0, 72, 248, 81, 25, "Set default", 5, CursorKind::Default,
                kGroupStart},
    LayoutEntry{kAnnuler, "Annuler", Button, 0, 160, 248, 81, 25, "Annuler", 4, CursorKind::Default,
                kGroupStart},
    LayoutEntry{kValider, "Valider", Button, 0, 248, 248, 81, 25, "Ok", 3, CursorKind::Default,
                kGroupStart},
};

constexpr FontStyle kWindowFont = {"MS Sans Serif", 11};

}  // namespace

std::span<const LayoutEntry> Layout() { return kLayout; }
const FontStyle& WindowFont() { return kWindowFont; }

}  // namespace vistrel::prefs
