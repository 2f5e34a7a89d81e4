#include "settings/stamped_reads.h"

namespace vistrel::settings {

const Reader& StampedReads::Refreshed() {
  const std::string now = stamp_();
  if (now.empty() || now != stamp_now_) Forget();
  trusted_ = !now.empty();
  stamp_now_ = now;
  // The file is opened again for the reads under the new stamp.
  file_.reset();
  return *this;
}

void StampedReads::Forget() {
  reads_.clear();
  present_.clear();
}

const Reader& StampedReads::File() const {
  if (!file_) file_ = open_();
  return *file_;
}

std::string StampedReads::Read(const char* key, const std::string& fallback) const {
  if (!trusted_) return File().Read(key, fallback);
  auto [at, added] = reads_.try_emplace({key, fallback});
  if (added) at->second = File().Read(key, fallback);
  return at->second;
}

bool StampedReads::Has(const char* key) const {
  if (!trusted_) return File().Has(key);
  auto [at, added] = present_.try_emplace(key, false);
  if (added) at->second = File().Has(key);
  return at->second;
}

}  // namespace vistrel::settings
