#include "settings/stamped_reads.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "memory_store.h"

namespace vistrel::settings {
namespace {

// The file as each group of reads opens it: the one section, shared.
class Opened final : public Reader {
 public:
  explicit Opened(testing::MemoryStore& file) : file_(file) {}
  std::string Read(const char* key, const std::string& fallback) const override {
    return file_.Read(key, fallback);
  }
  bool Has(const char* key) const override { return file_.Has(key); }

 private:
  testing::MemoryStore& file_;
};

struct StampedFile {
  testing::MemoryStore file;
  std::string stamp = "t1";
  std::string folder = "C:\\Docs\\Vistrel";
  StampedReads reads{[this] { return stamp; }, [this] { return std::make_unique<Opened>(file); }};

  AutoRecordPlan Plan() {
    return ReadAutoRecordPlan(reads.Refreshed(), [this] { return folder; });
  }
};

TEST(StampedReads, AnUnchangedStampAnswersFromTheLastReadsAChangedOneFromTheFile) {
  StampedFile f;
  f.file.Write("AutoRec", "oui");
  f.file.Write("AutoRecFormat", "bmp");
  EXPECT_EQ(f.Plan().format, FileFormat::Bmp);
  const std::size_t firstReads = f.file.reads.size();
  EXPECT_EQ(firstReads, 4u);
  EXPECT_TRUE(f.Plan().on);
  EXPECT_EQ(f.file.reads.size(), firstReads) << "nothing read again under the same stamp";

  f.file.Write("AutoRecFormat", "jpg");
  f.stamp = "t2";
  EXPECT_EQ(f.Plan().format, FileFormat::Jpg);
  EXPECT_EQ(f.file.reads.size(), 2 * firstReads);
}

TEST(StampedReads, AnUntrustedStampReadsTheFileEveryTime) {
  StampedFile f;
  f.stamp = "";
  f.file.Write("AutoRecFormat", "bmp");
  EXPECT_EQ(f.Plan().format, FileFormat::Bmp);
  f.file.Write("AutoRecFormat", "jpg");
  EXPECT_EQ(f.Plan().format, FileFormat::Jpg);
  // Trusted again: the next group reads once more, then keeps it.
  f.stamp = "t3";
  f.Plan();
  const std::size_t reads = f.file.reads.size();
  f.Plan();
  EXPECT_EQ(f.file.reads.size(), reads);
}

TEST(StampedReads, AMissingFolderFollowsTheDefaultFolder) {
  StampedFile f;
  EXPECT_EQ(f.Plan().folder, "C:\\Docs\\Vistrel");
  f.folder = "D:\\Moved\\Vistrel";
  EXPECT_EQ(f.Plan().folder, "D:\\Moved\\Vistrel") << "the fallback is part of what is kept";
}

}  // namespace
}  // namespace vistrel::settings
