#pragma once
#include <memory>
#include <mutex>
#include <vector>

#include "toolkit/picture_win.h"

namespace vistrel {

// Pictures for captures, used again once nobody holds them: a burst takes one
// screen-sized picture per capture, and fresh memory of that size costs more
// than the grab itself. A picture handed out belongs to its holders (preview,
// clipboard, a queued write) and is never changed while one holds it; when
// the last one lets go, from whatever thread, it comes back here.
class PicturePool {
 public:
  PicturePool();
  PicturePool(const PicturePool&) = delete;
  PicturePool& operator=(const PicturePool&) = delete;

  // A picture for a capture of that size (its memory is used again when one
  // of that size is free); its contents are what the capture copies into it.
  std::shared_ptr<Picture> Take(int width, int height);
  // Lets the free pictures' memory go (the end of a burst).
  void Trim();

 private:
  struct Shelf {
    std::mutex mutex;
    std::vector<std::unique_ptr<Picture>> free;
  };
  std::shared_ptr<Shelf> shelf_;
};

}  // namespace vistrel
