#pragma once
#include <exception>
#include <memory>
#include <optional>
#include <string>

#include "capture/write_queue.h"
#include "settings/settings.h"

namespace vistrel {

class Picture;

// Writes captures into the folder under their date-and-time names. The name
// is taken from the clock at the capture; the file is written beside the
// next grab, in capture order, by a thread that lives for one burst.
class AutoRecorder {
 public:
  // Names the capture and queues its file. A JPEG quality that is not an
  // integer raises the conversion error here, before anything is written.
  void Record(std::shared_ptr<const Picture> capture, const settings::AutoRecordPlan& plan);
  // A queued file could not be written: the burst ends.
  bool Failed() const;
  // Returns once every queued file is written (the end of a burst), with the
  // first failure among them, if any.
  std::exception_ptr WaitForWrites() noexcept;
  // The session ends: every file queued is written whole, and none is begun
  // after it. Safe from a handler called back inside Record or a wait.
  void EndSession() noexcept;

 private:
  std::optional<WriteQueue> writes_;
  // The stem of the last file named in this run: a capture in the same
  // millisecond would take its name and replace it.
  std::string lastStem_;
  bool sessionEnded_ = false;
};

}  // namespace vistrel
