#include "settings/preferences_model.h"

#include <gtest/gtest.h>

#include <string>

#include "memory_store.h"
#include "toolkit/error.h"

namespace vistrel::prefs {
namespace {

TEST(PreferencesLoad, TicksActifOnlyForTheExactWordOui) {
  EXPECT_TRUE(AutoRecordTicked("oui"));
  EXPECT_FALSE(AutoRecordTicked("non"));
  EXPECT_FALSE(AutoRecordTicked("OUI"));  // capitals are neither yes nor no
  EXPECT_FALSE(AutoRecordTicked("Oui"));
  EXPECT_FALSE(AutoRecordTicked(""));
  EXPECT_FALSE(AutoRecordTicked(" oui"));
}

TEST(PreferencesLoad, SelectsBmpOnlyForExactlyBmpAndJpgOtherwise) {
  EXPECT_TRUE(BmpSelected("bmp"));
  EXPECT_FALSE(BmpSelected("jpg"));
  EXPECT_FALSE(BmpSelected("png"));
  EXPECT_FALSE(BmpSelected("BMP"));
  EXPECT_FALSE(BmpSelected(""));
}

TEST(PreferencesLoad, ShowsTheStoredFolderOrTheDefaultComputedOnlyForAnEmptyValue) {
  int calls = 0;
  auto folder = [&calls] {
    ++calls;
    return std::string("C:\\Docs\\Vistrel");
  };
  EXPECT_EQ(FolderShown("D:\\Snaps", folder), "D:\\Snaps");
  EXPECT_EQ(calls, 0);
  EXPECT_EQ(FolderShown("", folder), "C:\\Docs\\Vistrel");
  EXPECT_EQ(calls, 1);
  // Blanks are a value, not an empty one.
  EXPECT_EQ(FolderShown(" ", folder), " ");
}

TEST(PreferencesLoad, SliderTakesTheClampedNumberWhileTheLabelKeepsTheStoredText) {
  const QualityState plain = QualityShown("85");
  EXPECT_EQ(plain.position, 85);
  EXPECT_EQ(plain.label, "85 %");

  const QualityState over = QualityShown("150");
  EXPECT_EQ(over.position, 100);
  EXPECT_EQ(over.label, "150 %");

  const QualityState leadingZero = QualityShown("050");
  EXPECT_EQ(leadingZero.position, 50);
  EXPECT_EQ(leadingZero.label, "050 %");

  const QualityState negative = QualityShown("-5");
  EXPECT_EQ(negative.position, 0);
  EXPECT_EQ(negative.label, "-5 %");

  const QualityState zero = QualityShown("0");
  EXPECT_EQ(zero.position, 0);
  EXPECT_EQ(zero.label, "0 %");
}

TEST(PreferencesLoad, EmptyCompressionShowsAHundred) {
  const QualityState empty = QualityShown("");
  EXPECT_EQ(empty.position, 100);
  EXPECT_EQ(empty.label, "100 %");
}

TEST(PreferencesLoad, CompressionThatIsNoIntegerRaisesTheConversionError) {
  try {
    QualityShown("abc");
    FAIL() << "no error raised";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "'abc' n'est pas une valeur entière correcte");
  }
  EXPECT_THROW(QualityShown("12.5"), Error);
  EXPECT_THROW(QualityShown("100 "), Error);
}

TEST(PreferencesLoad, HotKeyShowsTheStoredTextOrF12WhenEmpty) {
  EXPECT_EQ(HotKeyShown("Impr.Ecr"), "Impr.Ecr");
  EXPECT_EQ(HotKeyShown("pas une touche"), "pas une touche");
  EXPECT_EQ(HotKeyShown(""), "F12");
}

TEST(PreferencesLoad, TicksWBorderOnlyForTheExactWordOui) {
  EXPECT_TRUE(WhiteBorderTicked("oui"));
  EXPECT_FALSE(WhiteBorderTicked("non"));
  EXPECT_FALSE(WhiteBorderTicked("OUI"));
  EXPECT_FALSE(WhiteBorderTicked(""));
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
  defaults.folder = "C:\\Docs\\Vistrel";
  defaults.hotKey = "F12";
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
  changed.autoRecord = true;
  changed.bmp = false;
  changed.folder = "";  // an empty folder is stored empty
  changed.quality = 0;
  changed.hotKey = "touche inconnue";
  changed.whiteBorder = false;
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
  saved.autoRecord = true;
  saved.bmp = false;
  saved.folder = "E:\\Captures été";
  saved.quality = 37;
  saved.hotKey = "Mouse.M";
  saved.whiteBorder = false;
  testing::MemoryStore file;
  settings::WriteAll(file, ValuesToWrite(saved));
  const settings::Values values = settings::ReadAll(file, [] { return std::string("unused"); });
  EXPECT_EQ(AutoRecordTicked(values.autoRec), saved.autoRecord);
  EXPECT_EQ(BmpSelected(values.autoRecFormat), saved.bmp);
  EXPECT_EQ(FolderShown(values.saveFilePath, [] { return std::string("unused"); }), saved.folder);
  EXPECT_EQ(QualityShown(values.compression).position, saved.quality);
  EXPECT_EQ(QualityShown(values.compression).label, "37 %");
  EXPECT_EQ(HotKeyShown(values.hotKey), saved.hotKey);
  EXPECT_EQ(WhiteBorderTicked(values.bordBlanc), saved.whiteBorder);
}

}  // namespace
}  // namespace vistrel::prefs
