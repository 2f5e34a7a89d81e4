#include "settings/profile_text.h"

#include <gtest/gtest.h>

namespace vistrel::profile_text {
namespace {

TEST(ProfileEncoding, OnlyTheUtf16MarkMakesAUtf16File) {
  EXPECT_EQ(EncodingOf("\xFF\xFE[\0S\0"), Encoding::Utf16);
  EXPECT_EQ(EncodingOf("[Settings]\r\nSaveFilePath=C:\\Donn\xE9"
                       "es\r\n"),
            Encoding::Ansi);
  EXPECT_EQ(EncodingOf("\xEF\xBB\xBF[Settings]"), Encoding::Ansi);
  EXPECT_EQ(EncodingOf(""), Encoding::Ansi);
}

TEST(ProfileEncoding, TellsUtf8FromTheBytesOfAnEightBitCodePage) {
  EXPECT_TRUE(IsUtf8("[Settings]\r\nVistrel=F12\r\n"));
  EXPECT_TRUE(IsUtf8("C:\\Données\\Łukasz\\写真\\😀"));
  EXPECT_FALSE(
      IsUtf8("C:\\Donn\xE9"
             "es"));                         // Windows-1252 é
  EXPECT_FALSE(IsUtf8("C:\\\xC3"));          // cut in the middle of a letter
  EXPECT_FALSE(IsUtf8("\xC3\xA9\xA9"));      // a stray continuation byte
  EXPECT_FALSE(IsUtf8("\xC0\xAF"));          // an overlong '/'
  EXPECT_FALSE(IsUtf8("\xED\xA0\x80"));      // a surrogate
  EXPECT_FALSE(IsUtf8("\xF4\x90\x80\x80"));  // beyond U+10FFFF
  // Letters a 1252 file can hold that happen to form UTF-8: "Ã©" reads "é".
  EXPECT_TRUE(IsUtf8("\xC3\xA9"));
}

TEST(ProfileValue, IsFoundAsTheProfileServiceFindsIt) {
  const std::string text =
      "[Other]\r\nSaveFilePath=elsewhere\r\n"
      " [ SETTINGS ] \r\n"
      "autorec = oui \r\n"
      "SaveFilePath=C:\\Données\\Vistrel\r\n"
      "Vistrel=\r\n"
      "savefilepath=second\n"
      "[Next]\nAutoRec=non\n";
  EXPECT_EQ(FindValue(text, "Settings", "AutoRec"), "oui");
  EXPECT_EQ(FindValue(text, "Settings", "SaveFilePath"), "C:\\Données\\Vistrel");
  EXPECT_EQ(FindValue(text, "Settings", "Vistrel"), "");
  EXPECT_EQ(FindValue(text, "Settings", "Compression"), std::nullopt);
  EXPECT_EQ(FindValue(text, "Missing", "AutoRec"), std::nullopt);
  EXPECT_EQ(FindValue(text, "Next", "AutoRec"), "non");
}

}  // namespace
}  // namespace vistrel::profile_text
