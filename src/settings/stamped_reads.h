#pragma once
// The reads made at every capture, kept while the settings file stays as it
// was: a burst then costs one look at the file's stamp per capture instead
// of a parse of the whole file per key.
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <utility>

#include "settings/settings.h"

namespace vistrel::settings {

class StampedReads final : public Reader {
 public:
  // stamp(): what tells one state of the file from another (its write time
  // and size, or its absence); an empty stamp means "not to be trusted" (a
  // file written a moment ago may change again within the same time) and
  // every read then goes to the file. open(): the file's store, for a group
  // of reads.
  using Stamp = std::function<std::string()>;
  using Open = std::function<std::unique_ptr<Reader>()>;
  StampedReads(Stamp stamp, Open open) : stamp_(std::move(stamp)), open_(std::move(open)) {}

  // Looks at the stamp once, before a group of reads: the reads that follow
  // answer from what was read under the same stamp, or from the file.
  const Reader& Refreshed();

  std::string Read(const char* key, const std::string& fallback) const override;
  bool Has(const char* key) const override;

 private:
  const Reader& File() const;
  void Forget();

  Stamp stamp_;
  Open open_;
  std::string stamp_now_;
  bool trusted_ = false;
  mutable std::unique_ptr<Reader> file_;
  // By key and fallback: a missing key reads as its fallback, which may change.
  mutable std::map<std::pair<std::string, std::string>, std::string> reads_;
  mutable std::map<std::string, bool> present_;
};

}  // namespace vistrel::settings
