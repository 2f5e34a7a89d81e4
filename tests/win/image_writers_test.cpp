// Pictures, BmpWriter, JpegWriter and the auto-recorder on real bitmaps and files
// (run under Wine).
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <regex>
#include <string>
#include <vector>

#include <jpeglib.h>

#include "capture/autorec_win.h"
#include "capture/picture_pool_win.h"
#include "imageio/image_writers_win.h"
#include "toolkit/error.h"
#include "toolkit/picture_win.h"
#include "toolkit/text_win.h"

namespace vistrel {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A UTF-8 path as the standard library opens it (through the wide calls).
std::filesystem::path FsPath(const std::string& path) { return Wide(path); }

// The temporary folder in UTF-8, with its final backslash.
std::string TempDir() {
  wchar_t temp[MAX_PATH];
  GetTempPathW(MAX_PATH, temp);
  return Utf8(temp);
}

std::uint32_t U32(const Bytes& b, std::size_t at) {
  return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | static_cast<std::uint32_t>(b[at + 3]) << 24;
}

// A picture of w x h: red top row, blue bottom row, green in between.
void Paint(Picture& picture, int w, int h) {
  picture.NewBitmap(w, h);
  if (!picture.Bitmap()) return;
  PictureDC dc(picture);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      SetPixel(dc.Get(), x, y,
               y == 0       ? RGB(255, 0, 0)
               : y == h - 1 ? RGB(0, 0, 255)
                            : RGB(0, 255, 0));
}

class ImageFiles : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = TempDir() + "vistrel_" + ::testing::UnitTest::GetInstance()->current_test_info()->name();
    RemoveTree(dir_);
    CreateDirectoryW(Wide(dir_).c_str(), nullptr);
  }
  void TearDown() override { RemoveTree(dir_); }

  static void RemoveTree(const std::string& dir) {
    for (const std::string& name : List(dir)) {
      const std::string path = dir + "\\" + name;
      if (GetFileAttributesW(Wide(path).c_str()) & FILE_ATTRIBUTE_DIRECTORY)
        RemoveTree(path);
      else
        DeleteFileW(Wide(path).c_str());
    }
    RemoveDirectoryW(Wide(dir).c_str());
  }
  static std::vector<std::string> List(const std::string& dir) {
    std::vector<std::string> names;
    WIN32_FIND_DATAW data;
    HANDLE find = FindFirstFileW(Wide(dir + "\\*").c_str(), &data);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
      const std::string name = Utf8(data.cFileName);
      if (name != "." && name != "..") names.push_back(name);
    } while (FindNextFileW(find, &data));
    FindClose(find);
    return names;
  }
  static bool Exists(const std::string& path) {
    return GetFileAttributesW(Wide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
  }
  static Bytes Read(const std::string& path) {
    std::ifstream in(FsPath(path), std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
  }
  static void WriteText(const std::string& path, const std::string& text) {
    std::ofstream(FsPath(path), std::ios::binary) << text;
  }
  std::string Path(const std::string& name) const { return dir_ + "\\" + name; }

  std::string dir_;
};

TEST_F(ImageFiles, BmpHoldsThePixelsAtThirtyTwoBitsBottomRowFirst) {
  Picture one;
  Paint(one, 1, 1);
  BmpWriter(one, Path("one.bmp"));
  const Bytes a = Read(Path("one.bmp"));
  ASSERT_EQ(a.size(), 58u);
  EXPECT_EQ(U32(a, 2), 58u);
  EXPECT_EQ(a[28], 32);
  EXPECT_EQ(a[54], 0);    // blue
  EXPECT_EQ(a[55], 0);    // green
  EXPECT_EQ(a[56], 255);  // red

  Picture picture;
  const int w = 5, h = 3;
  Paint(picture, w, h);
  BmpWriter(picture, Path("five.bmp"));
  const Bytes b = Read(Path("five.bmp"));
  ASSERT_EQ(b.size(), 54u + 4 * w * h);
  EXPECT_EQ(U32(b, 18), static_cast<std::uint32_t>(w));
  EXPECT_EQ(U32(b, 22), static_cast<std::uint32_t>(h));
  EXPECT_EQ(U32(b, 34), 4u * w * h);
  // First stored row is the bottom one (blue), last the top one (red).
  EXPECT_EQ(b[54], 255);
  EXPECT_EQ(b[56], 0);
  const std::size_t top = 54 + 4 * w * (h - 1);
  EXPECT_EQ(b[top], 0);
  EXPECT_EQ(b[top + 2], 255);
}

TEST_F(ImageFiles, EmptyPictureBmpWritesNothingJpegRaisesTheConversionError) {
  Picture empty;
  WriteText(Path("kept.jpg"), "old");
  BmpWriter(empty, Path("none.bmp"));
  EXPECT_FALSE(Exists(Path("none.bmp")));
  for (int quality : {85, 0}) {
    try {
      JpegWriter(empty, Path("kept.jpg"), quality);
      ADD_FAILURE() << "no error at quality " << quality;
    } catch (const Error& e) {
      EXPECT_STREQ(e.what(), "Impossible d'affecter TPicture à TBitmap");
    }
  }
  EXPECT_EQ(Read(Path("kept.jpg")), Bytes({'o', 'l', 'd'}));
}

TEST_F(ImageFiles, ZeroSidedImageGivesEmptyFilesReplacingOldOnes) {
  Picture zero;
  zero.NewBitmap(0, 7);
  WriteText(Path("z.bmp"), "old");
  WriteText(Path("z.jpg"), "old");
  BmpWriter(zero, Path("z.bmp"));
  JpegWriter(zero, Path("z.jpg"), 85);
  EXPECT_TRUE(Exists(Path("z.bmp")));
  EXPECT_TRUE(Read(Path("z.bmp")).empty());
  EXPECT_TRUE(Exists(Path("z.jpg")));
  EXPECT_TRUE(Read(Path("z.jpg")).empty());
}

TEST_F(ImageFiles, JpegKeepsRedRedAndQualityOutsideOneToHundredTouchesNothing) {
  Picture picture;
  picture.NewBitmap(32, 16);
  {
    PictureDC dc(picture);
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    RECT all{0, 0, 32, 16};
    FillRect(dc.Get(), &all, red);
    DeleteObject(red);
  }
  for (int quality : {1, 100}) {
    std::string name = "q";  // built in steps: GCC 12 misreads "q" + std::string&& (-Wrestrict)
    name += std::to_string(quality);
    const std::string path = Path(name + ".jpg");
    JpegWriter(picture, path, quality);
    const Bytes stream = Read(path);
    ASSERT_GT(stream.size(), 100u);
    jpeg_decompress_struct d{};
    jpeg_error_mgr err{};
    d.err = jpeg_std_error(&err);
    jpeg_create_decompress(&d);
    jpeg_mem_src(&d, const_cast<std::uint8_t*>(stream.data()), stream.size());
    ASSERT_EQ(jpeg_read_header(&d, TRUE), JPEG_HEADER_OK);
    d.out_color_space = JCS_RGB;
    jpeg_start_decompress(&d);
    EXPECT_EQ(d.output_width, 32u);
    EXPECT_EQ(d.output_height, 16u);
    std::vector<std::uint8_t> row(32 * 3);
    JSAMPROW rowPtr = row.data();
    jpeg_read_scanlines(&d, &rowPtr, 1);
    EXPECT_GT(row[16 * 3], 230) << quality;
    EXPECT_LT(row[16 * 3 + 2], 25) << quality;
    jpeg_abort_decompress(&d);
    jpeg_destroy_decompress(&d);
  }
  WriteText(Path("old.jpg"), "old");
  for (int quality : {0, 101, -5}) {
    JpegWriter(picture, Path("old.jpg"), quality);
    JpegWriter(picture, Path("new.jpg"), quality);
  }
  EXPECT_EQ(Read(Path("old.jpg")), Bytes({'o', 'l', 'd'}));
  EXPECT_FALSE(Exists(Path("new.jpg")));
}

TEST_F(ImageFiles, AnExistingFileIsReplaced) {
  Picture picture;
  Paint(picture, 2, 2);
  WriteText(Path("x.bmp"), std::string(1000, 'x'));
  BmpWriter(picture, Path("x.bmp"));
  EXPECT_EQ(Read(Path("x.bmp")).size(), 54u + 16);
  WriteText(Path("x.jpg"), std::string(100000, 'x'));
  JpegWriter(picture, Path("x.jpg"), 85);
  const Bytes jpeg = Read(Path("x.jpg"));
  ASSERT_LT(jpeg.size(), 100000u);
  EXPECT_EQ(jpeg[0], 0xFF);
  EXPECT_EQ(jpeg[1], 0xD8);
}

TEST_F(ImageFiles, AMissingFolderGivesTheFileCreationMessage) {
  Picture picture;
  Paint(picture, 2, 2);
  const std::string path = Path("missing\\a.bmp");
  for (int format = 0; format < 2; ++format) {
    try {
      if (format == 0)
        BmpWriter(picture, path);
      else
        JpegWriter(picture, path, 85);
      ADD_FAILURE() << "no error";
    } catch (const Error& e) {
      const std::string text = e.what();
      const std::string prefix = "Impossible de créer le fichier \"" + path + "\". ";
      ASSERT_GT(text.size(), prefix.size());
      EXPECT_EQ(text.substr(0, prefix.size()), prefix);
      EXPECT_NE(text.back(), '\n');
      EXPECT_NE(text.back(), '\r');
    }
  }
}

settings::AutoRecordPlan Settings(std::string_view format, std::string folder,
                                  std::string_view compression = "100") {
  return settings::AutoRecordPlan{true, settings::FileFormatFor(format), std::move(folder),
                                  settings::JpegQuality(compression)};
}

std::shared_ptr<const Picture> Painted(int w, int h) {
  auto picture = std::make_shared<Picture>();
  Paint(*picture, w, h);
  return picture;
}

// One auto-recorded capture, its file written (or its failure raised) before
// the call returns.
void AutoRecord(const std::shared_ptr<const Picture>& picture,
                const settings::AutoRecordPlan& settings) {
  AutoRecorder recorder;
  recorder.Record(picture, settings);
  if (std::exception_ptr failure = recorder.WaitForWrites()) std::rethrow_exception(failure);
}

TEST_F(ImageFiles, AutoRecordWritesOneNamedFileInAFolderItCreates) {
  const auto picture = Painted(4, 3);
  const std::string folder = Path("Vistrel");
  AutoRecord(picture, Settings("bmp", folder));
  AutoRecord(picture, Settings("jpg", folder, "85"));
  const std::vector<std::string> names = List(folder);
  ASSERT_EQ(names.size(), 2u);
  const std::regex pattern(
      "\\d\\d\\.\\d\\d\\.\\d{4} à \\d\\dh \\d\\dm \\d\\ds \\d{3}'\\.(bmp|jpg)");
  for (const std::string& name : names) EXPECT_TRUE(std::regex_match(name, pattern)) << name;
  int bmp = 0;
  for (const std::string& name : names) {
    if (name.substr(name.size() - 3) == "bmp") {
      ++bmp;
      EXPECT_EQ(Read(folder + "\\" + name).size(), 54u + 4 * 12);
    }
  }
  EXPECT_EQ(bmp, 1);
}

TEST_F(ImageFiles, AutoRecordWritesNothingForOtherFormatsOrQualities) {
  const auto picture = Painted(4, 3);
  for (const char* format : {"png", "BMP", "JPG", ""}) AutoRecord(picture, Settings(format, dir_));
  AutoRecord(picture, Settings("jpg", dir_, "0"));
  AutoRecord(picture, Settings("jpg", dir_, "101"));
  EXPECT_TRUE(List(dir_).empty());
  try {
    AutoRecord(picture, Settings("jpg", dir_, "abc"));
    ADD_FAILURE() << "no error";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "'abc' n'est pas une valeur entière correcte");
  }
  EXPECT_TRUE(List(dir_).empty());
}

TEST_F(ImageFiles, AutoRecordIntoAFolderWithAMissingParentFailsToCreateTheFile) {
  const auto picture = Painted(4, 3);
  const std::string folder = Path("a\\b");
  try {
    AutoRecord(picture, Settings("bmp", folder));
    ADD_FAILURE() << "no error";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()).rfind("Impossible de créer le fichier \"" + folder + "\\", 0),
              0u)
        << e.what();
  }
  EXPECT_FALSE(Exists(Path("a")));
}

TEST_F(ImageFiles, AutoRecordBurstKeepsEveryFileInCaptureOrder) {
  // Back-to-back captures, switching format on the way, each a picture of
  // its own width; the same-millisecond case itself is covered with a
  // controlled clock by the native tests.
  AutoRecorder recorder;
  const int captures = 40;
  for (int i = 0; i < captures; ++i)
    recorder.Record(Painted(i + 1, 1), Settings(i % 2 ? "jpg" : "bmp", dir_));
  EXPECT_FALSE(recorder.WaitForWrites());
  std::vector<std::string> names = List(dir_);
  ASSERT_EQ(names.size(), static_cast<std::size_t>(captures));
  // Names sort by time within one run of this test (same day and hour but at
  // a change of hour, which the width check below would then report).
  std::sort(names.begin(), names.end());
  for (int i = 0; i < captures; i += 2) {
    const Bytes bmp = Read(Path(names[i]));
    ASSERT_GE(bmp.size(), 26u) << names[i];
    EXPECT_EQ(U32(bmp, 18), static_cast<std::uint32_t>(i + 1)) << names[i];
  }
}

TEST_F(ImageFiles, AFailedWriteInABurstKeepsTheCapturesQueuedAfterItAndIsRaisedOnce) {
  // A folder whose parent is missing cannot take the file; the captures
  // queued after it are still written, and the one failure is raised once.
  AutoRecorder recorder;
  const std::string missing = Path("nothere\\deeper");
  recorder.Record(Painted(2, 2), Settings("bmp", dir_));
  recorder.Record(Painted(2, 2), Settings("bmp", missing));
  recorder.Record(Painted(3, 3), Settings("bmp", dir_));
  recorder.Record(Painted(4, 4), Settings("jpg", dir_, "85"));
  const std::exception_ptr failure = recorder.WaitForWrites();
  try {
    ASSERT_TRUE(failure);
    std::rethrow_exception(failure);
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()).rfind("Impossible de créer le fichier \"" + missing + "\\", 0),
              0u)
        << e.what();
  }
  EXPECT_FALSE(recorder.Failed());
  EXPECT_FALSE(recorder.WaitForWrites()) << "raised once";
  EXPECT_EQ(List(dir_).size(), 3u);
}

bool AllWhite(const Picture& picture) {
  for (std::size_t i = 0; i < picture.SizeBytes(); i += 4)
    if (U32(Bytes(picture.Bits() + i, picture.Bits() + i + 4), 0) != 0x00FFFFFFu) return false;
  return true;
}

TEST(Pictures, NewImagesAreWhiteAlsoWhenTheirMemoryIsUsedAgain) {
  PicturePool pool;
  std::shared_ptr<Picture> first = pool.Take(3, 2);
  first->NewBitmap(3, 2);
  ASSERT_NE(first->Bits(), nullptr);
  EXPECT_TRUE(AllWhite(*first));
  std::fill_n(first->Bits(), first->SizeBytes(), std::uint8_t{0x12});
  const std::uint8_t* memory = first->Bits();
  first.reset();

  // The free picture of that size comes back, its memory too; a screen copy
  // of an area that lies wholly off the screen leaves it white, not as the
  // last capture left it.
  std::shared_ptr<Picture> again = pool.Take(3, 2);
  again->CopyFromScreen({-500, -500, -497, -498});
  EXPECT_EQ(again->Bits(), memory);
  EXPECT_TRUE(AllWhite(*again));
  std::fill_n(again->Bits(), again->SizeBytes(), std::uint8_t{0x12});
  again->NewBitmap(3, 2);
  EXPECT_TRUE(AllWhite(*again));

  // A picture still held is never handed out twice.
  std::shared_ptr<Picture> other = pool.Take(3, 2);
  other->NewBitmap(3, 2);
  EXPECT_NE(other->Bits(), again->Bits());
}

TEST(Pictures, AScreenCopyPastTheEdgeIsWhiteBeyondIt) {
  Picture picture;
  picture.NewBitmap(4, 4);
  std::fill_n(picture.Bits(), picture.SizeBytes(), std::uint8_t{0x12});
  // Two columns on the screen's left edge, two beyond it.
  picture.CopyFromScreen({-2, 0, 2, 4});
  ASSERT_EQ(picture.Width(), 4);
  const std::size_t row = picture.RowBytes();
  for (int y = 0; y < 4; ++y) {
    for (int x = 0; x < 2; ++x)
      EXPECT_EQ(
          U32(Bytes(picture.Bits() + y * row + x * 4, picture.Bits() + y * row + x * 4 + 4), 0),
          0x00FFFFFFu)
          << x << "," << y;
    EXPECT_NE(picture.Bits()[y * row + 2 * 4], 0x12) << "the part on the screen is read";
  }
}

TEST(Pictures, ABlockCopyThatCannotReadItsSourceLeavesWhite) {
  Picture picture;
  picture.NewBitmap(4, 4);
  {
    PictureDC to(picture);
    // A device context of no window at all: nothing to read.
    BitBlt(to.Get(), 0, 0, 4, 4, nullptr, 0, 0, SRCCOPY);
  }
  GdiFlush();
  EXPECT_TRUE(AllWhite(picture));
}

TEST(Pictures, TheWritersReadEachPictureItsOwnPixels) {
  // Two pictures written one after the other: each file holds its own
  // picture's pixels, never the other's.
  const std::string a = TempDir() + "vistrel_pixels_a.bmp";
  const std::string b = TempDir() + "vistrel_pixels_b.bmp";
  Picture red, blue;
  for (auto [picture, colour] :
       {std::pair{&red, RGB(255, 0, 0)}, std::pair{&blue, RGB(0, 0, 255)}}) {
    picture->NewBitmap(8, 8);
    PictureDC dc(*picture);
    HBRUSH brush = CreateSolidBrush(colour);
    RECT all{0, 0, 8, 8};
    FillRect(dc.Get(), &all, brush);
    DeleteObject(brush);
  }
  GdiFlush();
  BmpWriter(red, a);
  BmpWriter(blue, b);
  std::ifstream fa(FsPath(a), std::ios::binary), fb(FsPath(b), std::ios::binary);
  const Bytes ra((std::istreambuf_iterator<char>(fa)), {}),
      rb((std::istreambuf_iterator<char>(fb)), {});
  ASSERT_EQ(ra.size(), 54u + 256);
  ASSERT_EQ(rb.size(), 54u + 256);
  for (std::size_t i = 54; i < ra.size(); i += 4) {
    EXPECT_EQ(U32(ra, i), 0x00FF0000u) << i;
    EXPECT_EQ(U32(rb, i), 0x000000FFu) << i;
  }
  DeleteFileW(Wide(a).c_str());
  DeleteFileW(Wide(b).c_str());
}

}  // namespace
}  // namespace vistrel
