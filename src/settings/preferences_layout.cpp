#include "settings/preferences_layout.h"

#include <array>

namespace vistrel::prefs {
namespace {

using enum ControlKind;
using namespace flag;

// Tab orders count within each parent, as the keyboard walks them.
constexpr std::array kLayout = {
    LayoutEntry{kAutoRecordGroup, "GroupBox1", GroupBox, 0, 0, 0, 161, 57,
                "  Enregistrement 'AutoRec'  ", 0},
    LayoutEntry{kBmpRadio, "RadioBMP", RadioButton, kAutoRecordGroup, 80, 16, 57, 17, "*.bmp", 0,
                CursorKind::Default, kGroupStart | kChecked | kDisabled},
    LayoutEntry{kJpgRadio, "RadioJPG", RadioButton, kAutoRecordGroup, 80, 32, 57, 17, "*.jpg", 1,
                CursorKind::Default, kDisabled},
    LayoutEntry{kAutoRecordBox, "Actif", CheckBox, kAutoRecordGroup, 16, 24, 45, 17, "Actif", 2,
                CursorKind::Default, kGroupStart},
    LayoutEntry{kQualityGroup, "GroupBoxComp", GroupBox, 0, 168, 0, 161, 57, "  Compression jpg  ",
                1},
    LayoutEntry{kQualitySlider, "TrackBar1", TrackBar, kQualityGroup, 8, 16, 145, 17, nullptr, 0,
                CursorKind::Hand, kGroupStart},
    LayoutEntry{kLowLabel, "Bof", Label, kQualityGroup, 8, 38, 25, 13, "Bof...", -1},
    LayoutEntry{kQualityLabel, "LabelPourCent", Label, kQualityGroup, 70, 38, 29, 13, "100 %", -1,
                CursorKind::Default, kRightAlign | kVCenter},
    LayoutEntry{kHighLabel, "Top", Label, kQualityGroup, 128, 38, 25, 13, "Top !", -1},
    LayoutEntry{kHotKeyGroup, "GroupBox2", GroupBox, 0, 0, 56, 329, 129, "  Assignation touche  ",
                7},
    LayoutEntry{kHotKeyBox, "ChoixTouche", ComboBox, kHotKeyGroup, 16, 16, 89, 21, nullptr, 0,
                CursorKind::Default, kGroupStart},
    LayoutEntry{kHotKeyNote, "NoteTouche", Label, kHotKeyGroup, 112, 12, 209, 26,
                "Assigner une touche à la capture d'écran conserve la fonction initiale de "
                "cette touche.",
                -1},
    LayoutEntry{kWhiteBorderBox, "WBorder", CheckBox, kHotKeyGroup, 16, 40, 297, 17,
                "Bord blanc en mode 'sélection souris'.", 1, CursorKind::Default,
                kGroupStart | kChecked},
    LayoutEntry{kLegendBevel, "Bevel2", Bevel, kHotKeyGroup, 8, 64, 313, 57, nullptr, -1},
    LayoutEntry{kAltLabel, "Label1", Label, kHotKeyGroup, 16, 72, 71, 13, "ALT + [touche]", -1},
    LayoutEntry{kAltText, "Label3", Label, kHotKeyGroup, 96, 72, 195, 13,
                " =  capture la fenêtre active et son cadre.", -1},
    LayoutEntry{kCtrlLabel, "Label2", Label, kHotKeyGroup, 16, 88, 73, 13, "CTRL+[touche]", -1},
    LayoutEntry{kCtrlText, "Label4", Label, kHotKeyGroup, 96, 88, 201, 13,
                " =  capture le contenu de la fenêtre active.", -1},
    LayoutEntry{kShiftLabel, "Label5", Label, kHotKeyGroup, 16, 104, 76, 13, "SHIFT+[touche]", -1},
    LayoutEntry{kShiftText, "Label6", Label, kHotKeyGroup, 96, 104, 221, 13,
                " =  sélection souris (mode 'AutoRec' inopérant).", -1},
    LayoutEntry{kFolderGroup, "GroupBox3", GroupBox, 0, 0, 184, 329, 57,
                "  Répertoire d'enregistrement  ", 2},
    LayoutEntry{kFolderEdit, "Edit1", Edit, kFolderGroup, 16, 24, 249, 21, nullptr, 1,
                CursorKind::Default, kGroupStart},
    LayoutEntry{kBrowseButton, "Browse", Button, kFolderGroup, 272, 22, 49, 25, "Browse", 0,
                CursorKind::Default, kGroupStart},
    LayoutEntry{kInfosBevel, "Bevel1", Bevel, 0, 0, 248, 65, 25, nullptr, -1},
    LayoutEntry{kInfosButton, "Infos", Button, 0, 8, 252, 49, 17, "Infos", 6, CursorKind::Default,
                kGroupStart},
    LayoutEntry{kResetButton, "Reset", Button, 0, 72, 248, 81, 25, "Set default", 5,
                CursorKind::Default, kGroupStart},
    LayoutEntry{kCancelButton, "Annuler", Button, 0, 160, 248, 81, 25, "Annuler", 4,
                CursorKind::Default, kGroupStart},
    LayoutEntry{kOkButton, "Valider", Button, 0, 248, 248, 81, 25, "Ok", 3, CursorKind::Default,
                kGroupStart},
};

constexpr FontStyle kWindowFont = {"MS Sans Serif", 11};

}  // namespace

std::span<const LayoutEntry> Layout() { return kLayout; }
const FontStyle& WindowFont() { return kWindowFont; }

}  // namespace vistrel::prefs
