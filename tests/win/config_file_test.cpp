// The profile file through the real profile service (run under Wine).
#include "settings/config_file_win.h"

#include <shlobj.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "toolkit/error.h"
#include "toolkit/text_win.h"

namespace vistrel {
namespace {

std::string WindowsDir() {
  wchar_t dir[MAX_PATH];
  GetWindowsDirectoryW(dir, MAX_PATH);
  return Utf8(dir);
}

// A UTF-8 path as the standard library opens it (through the wide calls).
std::filesystem::path FsPath(const std::string& path) { return Wide(path); }

// Each test gets its own bare file name in the Windows folder, removed after.
class ConfigFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    name_ = std::string("VistrelTest_") +
            ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".cfg";
    path_ = WindowsDir() + "\\" + name_;
    DeleteFileW(Wide(path_).c_str());
  }
  void TearDown() override { DeleteFileW(Wide(path_).c_str()); }

  void WriteRaw(const std::string& text) { std::ofstream(FsPath(path_), std::ios::binary) << text; }
  std::string ReadRaw() const {
    std::ifstream in(FsPath(path_), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  bool FileExists() const {
    return GetFileAttributesW(Wide(path_).c_str()) != INVALID_FILE_ATTRIBUTES;
  }

  std::string name_, path_;
};

TEST_F(ConfigFileTest, MissingFileSectionOrKeyGivesTheDefaultAndCreatesNothing) {
  {
    ConfigFile config(name_);
    EXPECT_EQ(config.ReadValue("Settings", "AutoRec", "non"), "non");
    EXPECT_FALSE(config.KeyExists("Settings", "Vistrel"));
  }
  EXPECT_FALSE(FileExists());
  WriteRaw("[Other]\r\nAutoRec=oui\r\n");
  ConfigFile config(name_);
  EXPECT_EQ(config.ReadValue("Settings", "AutoRec", "non"), "non");
  WriteRaw("[Settings]\r\nBordBlanc=non\r\n");
  EXPECT_EQ(config.ReadValue("Settings", "AutoRec", "non"), "non");
  EXPECT_EQ(config.ReadValue("Settings", "BordBlanc", "oui"), "non");
}

TEST_F(ConfigFileTest, EmptyValueIsNotTheDefaultAndValuesKeepTheirCase) {
  WriteRaw("[Settings]\r\nVistrel=\r\nAutoRec=OUI\r\n");
  ConfigFile config(name_);
  EXPECT_EQ(config.ReadValue("Settings", "Vistrel", "F12"), "");
  EXPECT_TRUE(config.KeyExists("Settings", "Vistrel"));
  EXPECT_EQ(config.ReadValue("Settings", "AutoRec", "non"), "OUI");
}

TEST_F(ConfigFileTest, SectionAndKeyNamesMatchWithoutCase) {
  WriteRaw("[SETTINGS]\r\nAUTOREC=oui\r\nautorecformat=jpg\r\n");
  ConfigFile config(name_);
  EXPECT_EQ(config.ReadValue("Settings", "autoRec", "non"), "oui");
  EXPECT_EQ(config.ReadValue("Settings", "AutoRecFormat", "bmp"), "jpg");
  EXPECT_TRUE(config.KeyExists("Settings", "AutoRec"));
  EXPECT_TRUE(config.KeyExists("settings", "AUTORECFORMAT"));
  EXPECT_FALSE(config.KeyExists("Settings", "AutoRe"));
}

TEST_F(ConfigFileTest, FirstWritesAppendInOrderAndRewritesStayInPlace) {
  {
    ConfigFile config(name_);
    config.WriteValue("Settings", "AutoRec", "non");
    config.WriteValue("Settings", "AutoRecFormat", "bmp");
    config.WriteValue("Settings", "SaveFilePath", "C:\\Docs\\Vistrel");
    config.WriteValue("Settings", "Compression", "100");
    config.WriteValue("Settings", "Vistrel", "F12");
    config.WriteValue("Settings", "BordBlanc", "oui");
  }
  EXPECT_EQ(ReadRaw(),
            "[Settings]\r\nAutoRec=non\r\nAutoRecFormat=bmp\r\nSaveFilePath=C:\\Docs\\Vistrel\r\n"
            "Compression=100\r\nVistrel=F12\r\nBordBlanc=oui\r\n");
  {
    ConfigFile config(name_);
    config.WriteValue("Settings", "compression", "85");
  }
  const std::string text = ReadRaw();
  EXPECT_LT(text.find("=85"), text.find("Vistrel=F12")) << text;
  EXPECT_EQ(text.find("Compression=100"), std::string::npos) << text;
}

TEST_F(ConfigFileTest, WritesAndSectionRemovalKeepEverythingElse) {
  WriteRaw("[Before]\r\na=1\r\n[Settings]\r\nCustom=x\r\nAutoRec=oui\r\n[After]\r\nb=2\r\n");
  {
    ConfigFile config(name_);
    config.WriteValue("Settings", "AutoRec", "non");
    config.WriteValue("Settings", "Vistrel", "F5");
  }
  {
    ConfigFile config(name_);
    EXPECT_EQ(config.ReadValue("Settings", "Custom", "?"), "x");
    EXPECT_EQ(config.ReadValue("Before", "a", "?"), "1");
    EXPECT_EQ(config.ReadValue("After", "b", "?"), "2");
    EXPECT_EQ(config.ReadValue("Settings", "Vistrel", "?"), "F5");
    config.RemoveSection("Settings");
  }
  ConfigFile config(name_);
  EXPECT_FALSE(config.KeyExists("Settings", "Custom"));
  EXPECT_EQ(config.ReadValue("Settings", "AutoRec", "non"), "non");
  EXPECT_EQ(config.ReadValue("Before", "a", "?"), "1");
  EXPECT_EQ(config.ReadValue("After", "b", "?"), "2");
  EXPECT_EQ(ReadRaw().find("Settings"), std::string::npos);
}

TEST_F(ConfigFileTest, LongValuesAreCutTo2047Characters) {
  const std::string longValue(3000, 'v');
  WriteRaw("[Settings]\r\nSaveFilePath=" + longValue + "\r\n");
  ConfigFile config(name_);
  EXPECT_EQ(config.ReadValue("Settings", "SaveFilePath", ""), std::string(2047, 'v'));
}

TEST_F(ConfigFileTest, ChangesByAnotherWriterAreSeenAtTheNextRead) {
  WriteRaw("[Settings]\r\nAutoRec=non\r\n");
  ConfigFile config(name_);
  EXPECT_EQ(config.ReadValue("Settings", "AutoRec", "?"), "non");
  Sleep(1100);  // file times on some systems have a one-second grain
  WriteRaw("[Settings]\r\nAutoRec=oui\r\n");
  EXPECT_EQ(config.ReadValue("Settings", "AutoRec", "?"), "oui");
}

TEST(ConfigFileFailure, RefusedWriteRaisesTheMessageWithTheBareName) {
  const std::wstring path = Wide(WindowsDir() + "\\Vistrel.cfg");
  const std::wstring saved = path + L".saved-by-test";
  const bool hadFile = MoveFileW(path.c_str(), saved.c_str());
  ASSERT_TRUE(CreateDirectoryW(path.c_str(), nullptr));  // a folder where the file should be
  std::string what;
  try {
    ConfigFile config;
    config.WriteValue("Settings", "AutoRec", "oui");
  } catch (const Error& e) {
    what = e.what();
  }
  std::string removeWhat;
  try {
    ConfigFile config;
    config.RemoveSection("Settings");
  } catch (const Error& e) {
    removeWhat = e.what();
  }
  RemoveDirectoryW(path.c_str());
  if (hadFile) MoveFileW(saved.c_str(), path.c_str());
  EXPECT_EQ(what, "Impossible d'écrire dans Vistrel.cfg");
  EXPECT_EQ(removeWhat, "Impossible d'écrire dans Vistrel.cfg");
}

TEST(WinFolder, FindsTheDocumentsFolder) {
  const std::string documents = WinFolder(CSIDL_PERSONAL);
  ASSERT_FALSE(documents.empty());
  const DWORD attributes = GetFileAttributesW(Wide(documents).c_str());
  ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES) << documents;
  EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY);
  EXPECT_EQ(DefaultSaveFolder(), documents + "\\Vistrel");
  EXPECT_EQ(documents.find('/'), std::string::npos);
  EXPECT_NE(documents.back(), '\\') << documents;
}

}  // namespace
}  // namespace vistrel
