#include "toolkit/messages.h"

#include <gtest/gtest.h>

#include "settings/save_folder.h"
#include "toolkit/error.h"

namespace vistrel {
namespace {

TEST(FullStopRule, AddsAStopOnlyAfterACharacterAboveTheStop) {
  EXPECT_EQ(WithFullStop("Impossible d'ouvrir le Presse-papiers"),
            "Impossible d'ouvrir le Presse-papiers.");
  EXPECT_EQ(WithFullStop("Erreur JPEG #42"), "Erreur JPEG #42.");  // '2' is above '.'
  EXPECT_EQ(WithFullStop("Fini."), "Fini.");                       // '.' itself is not above
  EXPECT_EQ(WithFullStop("Fini!"), "Fini!");                       // 0x21 is below 0x2E
  EXPECT_EQ(WithFullStop("guillemet\""), "guillemet\"");           // 0x22
  EXPECT_EQ(WithFullStop("tiret-"), "tiret-");                     // 0x2D
  EXPECT_EQ(WithFullStop("barre/"), "barre/.");                    // 0x2F
  EXPECT_EQ(WithFullStop("deux:"), "deux:.");
  EXPECT_EQ(WithFullStop(""), "");
  // Any letter beyond ASCII counts as above the stop (an accented last letter,
  // whose last UTF-8 byte is above it too).
  EXPECT_EQ(WithFullStop("créé"), "créé.");
  EXPECT_EQ(WithFullStop("Łódź"), "Łódź.");
  EXPECT_EQ(WithFullStop("ファイル"), "ファイル.");
}

TEST(Messages, KeepTheirExactWording) {
  EXPECT_EQ(messages::NotAnInteger("abc"), "'abc' n'est pas une valeur entière correcte");
  EXPECT_EQ(messages::CannotCreateFile("C:\\x\\a.bmp", "Chemin introuvable."),
            "Impossible de créer le fichier \"C:\\x\\a.bmp\". Chemin introuvable.");
  EXPECT_EQ(messages::CannotAssign("TPicture", "TBitmap"),
            "Impossible d'affecter TPicture à TBitmap");
  EXPECT_EQ(messages::JpegError(17), "Erreur JPEG #17");
  EXPECT_EQ(messages::CannotWriteTo("Vistrel.cfg"), "Impossible d'écrire dans Vistrel.cfg");
  EXPECT_EQ(messages::StreamWriteError(), "Erreur d'écriture dans le flux");
  EXPECT_EQ(messages::SettingsReset(), "Paramètres réinitialisés.");
}

TEST(DefaultSaveFolder, IsTheVistrelFolderBelowTheDocuments) {
  EXPECT_EQ(SaveFolderUnder("C:\\Docs"), "C:\\Docs\\Vistrel");
  EXPECT_EQ(SaveFolderUnder("C:\\users\\root\\Documents"), "C:\\users\\root\\Documents\\Vistrel");
  // An unresolved documents folder still yields a usable relative name.
  EXPECT_EQ(SaveFolderUnder(""), "\\Vistrel");
}

TEST(DefaultSaveFolder, ShellPathsLoseATrailingSeparatorButDriveRootsKeepIt) {
  EXPECT_EQ(WithoutTrailingSeparator("C:\\users\\root\\Documents\\"), "C:\\users\\root\\Documents");
  EXPECT_EQ(WithoutTrailingSeparator("C:\\Docs"), "C:\\Docs");
  EXPECT_EQ(WithoutTrailingSeparator("C:\\"), "C:\\");
  EXPECT_EQ(WithoutTrailingSeparator(""), "");
}

}  // namespace
}  // namespace vistrel
