#include "settings/settings.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "memory_store.h"

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

TEST(Settings, TheDefaultFolderIsComputedAtEveryReadOfTheFolder) {
  MemoryStore file;
  foldersComputed = 0;
  Read(file, Key::SaveFilePath, Documents);
  ReadAutoRecord(file, Documents);
  EXPECT_EQ(foldersComputed, 2);
  Read(file, Key::Compression, Documents);
  EXPECT_EQ(foldersComputed, 2) << "only for the folder";
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

TEST(Settings, AutoRecordReadsItsFourKeysInOrderAndIsOffOnlyForNon) {
  MemoryStore file;
  file.lines = {{"AutoRec", "non"}, {"AutoRecFormat", "png"}, {"Compression", "85"}};
  AutoRecord read = ReadAutoRecord(file, Documents);
  EXPECT_EQ(file.reads,
            (std::vector<std::string>{"AutoRec", "AutoRecFormat", "SaveFilePath", "Compression"}));
  EXPECT_FALSE(read.On());
  EXPECT_EQ(read.format, "png");
  EXPECT_EQ(read.folder, "C:\\Docs\\Vistrel");
  EXPECT_EQ(read.compression, "85");
  for (const char* value : {"oui", "", "Non", "NON", "non ", " non", "no", "nonn"}) {
    file.lines = {{"AutoRec", value}};
    EXPECT_TRUE(ReadAutoRecord(file, Documents).On()) << "'" << value << "'";
  }
}

TEST(Settings, TheHotKeyNameIsF12OnlyWhenTheKeyIsAbsent) {
  MemoryStore file;
  EXPECT_EQ(ReadHotKeyName(file), "F12");
  file.lines = {{"VISTREL", ""}};
  EXPECT_EQ(ReadHotKeyName(file), "");
  file.lines = {{"Vistrel", "Inser"}};
  EXPECT_EQ(ReadHotKeyName(file), "Inser");
}

TEST(Settings, ValuesAreComparedExactly) {
  EXPECT_TRUE(Is("non", kNo));
  for (const char* value : {"Non", "NON", "non ", "", "no"}) EXPECT_FALSE(Is(value, kNo)) << value;
  EXPECT_FALSE(Is("BMP", kBmp));
  EXPECT_FALSE(Is("jpg ", kJpg));
}

}  // namespace
}  // namespace vistrel::settings
