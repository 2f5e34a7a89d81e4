#include "settings/preferences_model.h"

#include <gtest/gtest.h>

#include <string>

#include "memory_store.h"
#include "toolkit/error.h"

namespace vistrel::prefs {
namespace {

TEST(PreferencesLoad, TicksActifOnlyForTheExactWordOui) {
  EXPECT_TRUE(ActifFromStored("oui"));
  EXPECT_FALSE(ActifFromStored("non"));
  EXPECT_FALSE(ActifFromStored("OUI"));  // capitals are neither yes nor no
  EXPECT_FALSE(ActifFromStored("Oui"));
  EXPECT_FALSE(ActifFromStored(""));
  EXPECT_FALSE(ActifFromStored(" oui"));
}

TEST(PreferencesLoad, SelectsBmpOnlyForExactlyBmpAndJpgOtherwise) {
  EXPECT_TRUE(RadioBmpFromStored("bmp"));
  EXPECT_FALSE(RadioBmpFromStored("jpg"));
  EXPECT_FALSE(RadioBmpFromStored("png"));
  EXPECT_FALSE(RadioBmpFromStored("BMP"));
  EXPECT_FALSE(RadioBmpFromStored(""));
}

TEST(PreferencesLoad, ShowsTheStoredFolderOrTheDefaultComputedOnlyForAnEmptyValue) {
  int calls = 0;
  auto folder = [&calls] {
    ++calls;
    return std::string("C:\\Docs\\Vistrel");
  };
  EXPECT_EQ(FolderFromStored("D:\\Snaps", folder), "D:\\Snaps");
  EXPECT_EQ(calls, 0);
  EXPECT_EQ(FolderFromStored("", folder), "C:\\Docs\\Vistrel");
  EXPECT_EQ(calls, 1);
  // Blanks are a value, not an empty one.
  EXPECT_EQ(FolderFromStored(" ", folder), " ");
}

TEST(PreferencesLoad, SliderTakesTheClampedNumberWhileTheLabelKeepsTheStoredText) {
  const SliderState plain = SliderFromStored("85");
  EXPECT_EQ(plain.position, 85);
  EXPECT_EQ(plain.label, "85 %");

  const SliderState over = SliderFromStored("150");
  EXPECT_EQ(over.position, 100);
  EXPECT_EQ(over.label, "150 %");

  const SliderState leadingZero = SliderFromStored("050");
  EXPECT_EQ(leadingZero.position, 50);
  EXPECT_EQ(leadingZero.label, "050 %");

  const SliderState negative = SliderFromStored("-5");
  EXPECT_EQ(negative.position, 0);
  EXPECT_EQ(negative.label, "-5 %");

  const SliderState zero = SliderFromStored("0");
  EXPECT_EQ(zero.position, 0);
  EXPECT_EQ(zero.label, "0 %");
}

TEST(PreferencesLoad, EmptyCompressionShowsAHundred) {
  const SliderState empty = SliderFromStored("");
  EXPECT_EQ(empty.position, 100);
  EXPECT_EQ(empty.label, "100 %");
}

TEST(PreferencesLoad, CompressionThatIsNoIntegerRaisesTheConversionError) {
  try {
    SliderFromStored("abc");
    FAIL() << "no error raised";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "'abc' n'est pas une valeur enti\xE8re correcte");
  }
  EXPECT_THROW(SliderFromStored("12.5"), Error);
  EXPECT_THROW(SliderFromStored("100 "), Error);
}

TEST(PreferencesLoad, HotKeyShowsTheStoredTextOrF12WhenEmpty) {
  EXPECT_EQ(HotKeyFromStored("Impr.Ecr"), "Impr.Ecr");
  EXPECT_EQ(HotKeyFromStored("pas une touche"), "pas une touche");
  EXPECT_EQ(HotKeyFromStored(""), "F12");
}

TEST(PreferencesLoad, TicksWBorderOnlyForTheExactWordOui) {
  EXPECT_TRUE(WBorderFromStored("oui"));
  EXPECT_FALSE(WBorderFromStored("non"));
  EXPECT_FALSE(WBorderFromStored("OUI"));
  EXPECT_FALSE(WBorderFromStored(""));
}

TEST(PreferencesSlider, LabelReadsThePositionAndABlankPercent) {
  EXPECT_EQ(PercentText(85), "85 %");
  EXPECT_EQ(PercentText(0), "0 %");
  EXPECT_EQ(PercentText(100), "100 %");
}

// What "Ok" leaves in a section that held nothing.
std::string Written(const settings::Values& values) {
  testing::MemoryStore file;
  settings::WriteAll(file, values);
  return file.Text();
}

TEST(PreferencesSave, DefaultsGiveTheSixLinesInFileOrder) {
  ControlStates defaults;
  defaults.edit1 = "C:\\Docs\\Vistrel";
  defaults.choixTouche = "F12";
  EXPECT_EQ(Written(ValuesToWrite(defaults)),
            "AutoRec=non\n"
            "AutoRecFormat=bmp\n"
            "SaveFilePath=C:\\Docs\\Vistrel\n"
            "Compression=100\n"
            "Vistrel=F12\n"
            "BordBlanc=oui\n");
}

TEST(PreferencesSave, EveryControlChangedIsWrittenAsIs) {
  ControlStates changed;
  changed.actif = true;
  changed.radioBmp = false;
  changed.edit1 = "";  // an empty folder is stored empty
  changed.trackBar = 0;
  changed.choixTouche = "touche inconnue";
  changed.wBorder = false;
  EXPECT_EQ(Written(ValuesToWrite(changed)),
            "AutoRec=oui\n"
            "AutoRecFormat=jpg\n"
            "SaveFilePath=\n"
            "Compression=0\n"
            "Vistrel=touche inconnue\n"
            "BordBlanc=non\n");
}

TEST(PreferencesRoundTrip, SavedValuesLoadBackIntoTheSameControls) {
  ControlStates saved;
  saved.actif = true;
  saved.radioBmp = false;
  saved.edit1 = "E:\\Captures \xE9t\xE9";
  saved.trackBar = 37;
  saved.choixTouche = "Mouse.M";
  saved.wBorder = false;
  testing::MemoryStore file;
  settings::WriteAll(file, ValuesToWrite(saved));
  const settings::Values values = settings::ReadAll(file, [] { return std::string("unused"); });
  EXPECT_EQ(ActifFromStored(values.autoRec), saved.actif);
  EXPECT_EQ(RadioBmpFromStored(values.autoRecFormat), saved.radioBmp);
  EXPECT_EQ(FolderFromStored(values.saveFilePath, [] { return std::string("unused"); }),
            saved.edit1);
  EXPECT_EQ(SliderFromStored(values.compression).position, saved.trackBar);
  EXPECT_EQ(SliderFromStored(values.compression).label, "37 %");
  EXPECT_EQ(HotKeyFromStored(values.hotKey), saved.choixTouche);
  EXPECT_EQ(WBorderFromStored(values.bordBlanc), saved.wBorder);
}

}  // namespace
}  // namespace vistrel::prefs
