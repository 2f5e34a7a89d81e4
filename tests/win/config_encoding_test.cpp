// The settings file's bytes under the system's code page, through the real
// profile service (run under Wine, once with Windows-1252 and once with the
// UTF-8 code page).
#include <windows.h>

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

#include "settings/config_file_win.h"

namespace vistrel {
namespace {

class ConfigEncodingTest : public ::testing::Test {
 protected:
  void SetUp() override {
    wchar_t dir[MAX_PATH];
    GetWindowsDirectoryW(dir, MAX_PATH);
    name_ = std::string("VistrelEncoding_") +
            ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".cfg";
    path_ = std::wstring(dir) + L"\\" + std::wstring(name_.begin(), name_.end());
    DeleteFileW(path_.c_str());
  }
  void TearDown() override { DeleteFileW(path_.c_str()); }

  void WriteRaw(const std::string& bytes) {
    std::ofstream(path_.c_str(), std::ios::binary) << bytes;
  }
  std::string ReadRaw() const {
    std::ifstream in(path_.c_str(), std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
  }
  static std::string Utf16(const std::wstring& text) {
    return std::string(reinterpret_cast<const char*>(text.data()), text.size() * sizeof(wchar_t));
  }
  static bool Utf8System() { return GetACP() == CP_UTF8; }

  std::string name_;
  std::wstring path_;
};

// A run for one code page (VISTREL_TEST_CODE_PAGE) runs under it, not under
// whatever the locale fell back to.
TEST_F(ConfigEncodingTest, RunsUnderTheCodePageAskedFor) {
  wchar_t asked[16] = L"";
  if (!GetEnvironmentVariableW(L"VISTREL_TEST_CODE_PAGE", asked, 16)) GTEST_SKIP();
  EXPECT_EQ(GetACP(), static_cast<UINT>(_wtoi(asked)));
}

TEST_F(ConfigEncodingTest, ValuesTheCodePageHoldsKeepTheFileInIt) {
  {
    ConfigFile config(name_);
    config.WriteValue("Settings", "AutoRec", "oui");
    config.WriteValue("Settings", "SaveFilePath", "C:\\Données\\Vistrel à été");
  }
  // Byte for byte what the 8-bit profile service writes in that code page.
  const std::string folder = Utf8System() ? "C:\\Données\\Vistrel à été"
                                          : "C:\\Donn\xE9"
                                            "es\\Vistrel \xE0 \xE9t\xE9";
  EXPECT_EQ(ReadRaw(), "[Settings]\r\nAutoRec=oui\r\nSaveFilePath=" + folder + "\r\n");
  ConfigFile config(name_);
  EXPECT_EQ(config.ReadValue("Settings", "SaveFilePath", ""), "C:\\Données\\Vistrel à été");
}

TEST_F(ConfigEncodingTest, AValueOutsideTheCodePageIsStoredExactly) {
  WriteRaw("[Other]\r\nName=Ren\xE9\r\n[Settings]\r\nAutoRec=non\r\n");
  const std::string folder = "C:\\users\\Łukasz\\Documents\\Снимки\\写真";
  {
    ConfigFile config(name_);
    config.WriteValue("Settings", "SaveFilePath", folder);
    config.WriteValue("Settings", "Vistrel", "F12");
  }
  const std::string raw = ReadRaw();
  if (Utf8System()) {
    // The UTF-8 code page holds every letter: the file stays 8-bit, in UTF-8,
    // and the older Windows-1252 text in it is read and kept as it was meant.
    EXPECT_EQ(raw, "[Other]\r\nName=René\r\n[Settings]\r\nAutoRec=non\r\nSaveFilePath=" + folder +
                       "\r\nVistrel=F12\r\n");
  } else {
    EXPECT_EQ(raw, "\xFF\xFE" + Utf16(L"[Other]\r\nName=René\r\n[Settings]\r\nAutoRec=non\r\n"
                                      L"SaveFilePath=C:\\users\\Łukasz\\Documents\\Снимки\\写真\r\n"
                                      L"Vistrel=F12\r\n"));
  }
  ConfigFile config(name_);
  EXPECT_EQ(config.ReadValue("Settings", "SaveFilePath", ""), folder);
  EXPECT_EQ(config.ReadValue("Other", "Name", ""), "René");
  // Once in UTF-16 it stays so: the next value the code page holds too.
  config.WriteValue("Settings", "AutoRec", "oui");
  EXPECT_EQ(config.ReadValue("Settings", "AutoRec", ""), "oui");
  EXPECT_EQ(config.ReadValue("Settings", "SaveFilePath", ""), folder);
}

TEST_F(ConfigEncodingTest, AWindows1252FileKeepsItsAccentedFolderUnderEveryCodePage) {
  WriteRaw(
      "[Settings]\r\nSaveFilePath=C:\\Donn\xE9"
      "es\r\nAutoRec=oui\r\n");
  ConfigFile config(name_);
  EXPECT_EQ(config.ReadValue("Settings", "SaveFilePath", ""), "C:\\Données");
  EXPECT_EQ(config.ReadValue("Settings", "autorec", ""), "oui");
  config.WriteValue("Settings", "Compression", "90");
  EXPECT_EQ(config.ReadValue("Settings", "SaveFilePath", ""), "C:\\Données");
}

}  // namespace
}  // namespace vistrel
