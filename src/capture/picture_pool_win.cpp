#include "capture/picture_pool_win.h"

#include <algorithm>

namespace vistrel {

namespace {
// A burst needs the picture being grabbed, the one being written, the ones
// waiting to be written and the clipboard's; more than that is never reused.
constexpr std::size_t kMaxFree = 4;
}  // namespace

PicturePool::PicturePool() : shelf_(std::make_shared<Shelf>()) {}

std::shared_ptr<Picture> PicturePool::Take(int width, int height) {
  std::unique_ptr<Picture> picture;
  {
    std::lock_guard lock(shelf_->mutex);
    auto& free = shelf_->free;
    auto same = std::find_if(free.begin(), free.end(), [&](const auto& p) {
      return p->Width() == width && p->Height() == height;
    });
    if (same == free.end() && !free.empty()) same = free.begin();
    if (same != free.end()) {
      picture = std::move(*same);
      free.erase(same);
    }
  }
  if (!picture) picture = std::make_unique<Picture>();
  std::weak_ptr<Shelf> home = shelf_;
  return std::shared_ptr<Picture>(picture.release(), [home](Picture* returned) {
    std::unique_ptr<Picture> owned(returned);
    if (auto shelf = home.lock()) {
      std::lock_guard lock(shelf->mutex);
      if (shelf->free.size() < kMaxFree) shelf->free.push_back(std::move(owned));
    }
  });
}

void PicturePool::Trim() {
  std::vector<std::unique_ptr<Picture>> released;
  std::lock_guard lock(shelf_->mutex);
  released.swap(shelf_->free);
}

}  // namespace vistrel
