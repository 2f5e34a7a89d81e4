#include "settings/settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "memory_store.h"
#include "toolkit/error.h"
#include "toolkit/messages.h"

namespace vistrel::settings {
namespace {

using vistrel::testing::MemoryStore;

int foldersComputed = 0;
std::string Documents() {
  ++foldersComputed;
  return "C:\\Docs\\Vistrel";
}

TEST(Settings, AnEmptyFileReadsEveryDefault) {
  MemoryStore empty;
  const Values values = ReadAll(empty, Documents);
  EXPECT_EQ(values.autoRec, "non");
  EXPECT_EQ(values.autoRecFormat, "bmp");
  EXPECT_EQ(values.saveFilePath, "C:\\Docs\\Vistrel");
  EXPECT_EQ(values.compression, "100");
  EXPECT_EQ(values.hotKey, "F12");
  EXPECT_EQ(values.bordBlanc, "oui");
  EXPECT_EQ(empty.reads, (std::vector<std::string>{"AutoRec", "AutoRecFormat", "SaveFilePath",
                                                   "Compression", "Vistrel", "BordBlanc"}));
}

TEST(Settings, StoredValuesAreReadAsTheyAreAnEmptyOneStaysEmpty) {
  MemoryStore file;
  file.lines = {{"autorec", "OUI"},
                {"SAVEFILEPATH", ""},
                {"Compression", "abc"},
                {"Vistrel", ""},
                {"BordBlanc", "NON"}};
  const Values values = ReadAll(file, Documents);
  EXPECT_EQ(values.autoRec, "OUI");
  EXPECT_EQ(values.autoRecFormat, "bmp");
  EXPECT_EQ(values.saveFilePath, "");
  EXPECT_EQ(values.compression, "abc");
  EXPECT_EQ(values.hotKey, "");
  EXPECT_EQ(values.bordBlanc, "NON");
}

TEST(Settings, TheDefaultFolderIsComputedAtEveryReadOfAFolderThatIsNotStored) {
  MemoryStore file;
  foldersComputed = 0;
  ReadKey(file, Key::SaveFilePath, Documents);
  ReadAutoRecordPlan(file, Documents);
  EXPECT_EQ(foldersComputed, 2);
  ReadKey(file, Key::Compression, Documents);
  ReadJpegQuality(file);
  ReadSelectionMargin(file);
  EXPECT_EQ(foldersComputed, 2) << "only for the folder";
  file.Write("savefilepath", "");
  EXPECT_EQ(ReadAutoRecordPlan(file, Documents).folder, "") << "stored empty, read as stored";
  EXPECT_EQ(foldersComputed, 2);
}

TEST(Settings, WriteAllGivesTheSixLinesInTableOrderAndRewritesInPlace) {
  MemoryStore file;
  file.lines = {{"Other", "kept"}, {"vistrel", "F5"}};
  Values values;
  values.autoRec = "oui";
  values.autoRecFormat = "jpg";
  values.saveFilePath = "D:\\Captures";
  values.compression = "85";
  values.hotKey = "Inser";
  values.bordBlanc = "non";
  WriteAll(file, values);
  EXPECT_EQ(file.Text(),
            "Other=kept\n"
            "vistrel=Inser\n"
            "AutoRec=oui\n"
            "AutoRecFormat=jpg\n"
            "SaveFilePath=D:\\Captures\n"
            "Compression=85\n"
            "BordBlanc=non\n");
}

TEST(Settings, ARefusedWriteStopsAtThatKey) {
  MemoryStore file;
  file.refuseWrites = true;
  EXPECT_THROW(WriteAll(file, Values{}), std::runtime_error);
  EXPECT_TRUE(file.lines.empty());
}

TEST(Settings, TheAutoRecordPlanReadsItsFourKeysInOrderAndIsOffOnlyForNon) {
  MemoryStore file;
  file.lines = {{"AutoRec", "non"}, {"AutoRecFormat", "jpg"}, {"Compression", "85"}};
  AutoRecordPlan plan = ReadAutoRecordPlan(file, Documents);
  EXPECT_EQ(file.reads,
            (std::vector<std::string>{"AutoRec", "AutoRecFormat", "SaveFilePath", "Compression"}));
  EXPECT_FALSE(plan.on);
  EXPECT_EQ(plan.format, FileFormat::Jpg);
  EXPECT_EQ(plan.folder, "C:\\Docs\\Vistrel");
  EXPECT_EQ(plan.quality.Value(), 85);
  for (const char* value : {"oui", "", "Non", "NON", "non ", " non", "no", "nonn"}) {
    file.lines = {{"AutoRec", value}};
    EXPECT_TRUE(ReadAutoRecordPlan(file, Documents).on) << "'" << value << "'";
  }
  for (const char* value : {"png", "BMP", "JPG", "", "bmp ", "jpeg"})
    EXPECT_EQ(FileFormatFor(value), FileFormat::None) << "'" << value << "'";
  EXPECT_EQ(FileFormatFor("bmp"), FileFormat::Bmp);
}

TEST(Settings, AQualityThatIsNoIntegerIsAnErrorOnlyWhereItIsUsed) {
  MemoryStore file;
  file.lines = {{"AutoRecFormat", "bmp"}, {"Compression", "abc"}};
  const AutoRecordPlan plan = ReadAutoRecordPlan(file, Documents);
  EXPECT_EQ(plan.format, FileFormat::Bmp) << "read whole, for a BMP file that needs no quality";
  try {
    plan.quality.Value();
    ADD_FAILURE() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(e.what(), messages::NotAnInteger("abc"));
  }
  EXPECT_THROW(ReadJpegQuality(file), Error) << "Save as converts at once";
  file.lines = {};
  EXPECT_EQ(ReadJpegQuality(file), 100);
  EXPECT_EQ(ReadAutoRecordPlan(file, Documents).quality.Value(), 100);
  file.lines = {{"Compression", ""}};
  EXPECT_THROW(ReadJpegQuality(file), Error) << "present but empty is no integer";
}

TEST(Settings, OnlyExactLowercaseNonDropsTheSelectionsWhiteBorder) {
  MemoryStore file;
  EXPECT_EQ(ReadSelectionMargin(file), 0) << "the default, oui";
  file.lines = {{"BordBlanc", "non"}};
  EXPECT_EQ(ReadSelectionMargin(file), 1);
  for (const char* value : {"oui", "NON", "Non", "non ", " non", "", "no", "nonn"})
    EXPECT_EQ(SelectionMarginFor(value), 0) << '"' << value << '"';
}

TEST(Settings, TheHotKeyNameIsF12OnlyWhenTheKeyIsAbsent) {
  MemoryStore file;
  EXPECT_EQ(ReadHotKeyName(file), "F12");
  file.lines = {{"VISTREL", ""}};
  EXPECT_EQ(ReadHotKeyName(file), "");
  file.lines = {{"Vistrel", "Inser"}};
  EXPECT_EQ(ReadHotKeyName(file), "Inser");
}

TEST(StrToInt, ReadsDecimalTextWithSignAndLeadingZeros) {
  EXPECT_EQ(StrToInt("100"), 100);
  EXPECT_EQ(StrToInt("050"), 50);
  EXPECT_EQ(StrToInt("0"), 0);
  EXPECT_EQ(StrToInt("-5"), -5);
  EXPECT_EQ(StrToInt("+7"), 7);
  EXPECT_EQ(StrToInt("  85"), 85);
  EXPECT_EQ(StrToInt("2147483647"), 2147483647);
  EXPECT_EQ(StrToInt("-2147483648"), -2147483647 - 1);
  EXPECT_EQ(StrToInt("0000000000000000000012"), 12);
}

TEST(StrToInt, RejectsAnythingElseWithTheConversionMessage) {
  for (const char* bad : {"abc", "", " ", "-", "12a", "85 ", "1.5", "0x10", "2147483648",
                          "99999999999999999999", "--1"}) {
    try {
      StrToInt(bad);
      ADD_FAILURE() << "accepted '" << bad << "'";
    } catch (const Error& e) {
      EXPECT_EQ(e.what(), messages::NotAnInteger(bad));
    }
  }
}

TEST(Settings, ValuesAreComparedExactly) {
  EXPECT_TRUE(Is("non", kNo));
  for (const char* value : {"Non", "NON", "non ", "", "no"}) EXPECT_FALSE(Is(value, kNo)) << value;
  EXPECT_FALSE(Is("BMP", kBmp));
  EXPECT_FALSE(Is("jpg ", kJpg));
}

}  // namespace
}  // namespace vistrel::settings
