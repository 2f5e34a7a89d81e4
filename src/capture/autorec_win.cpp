#include "capture/autorec_win.h"

#include <windows.h>

#include <exception>
#include <utility>

#include "capture/autorec_name.h"
#include "imageio/image_writers_win.h"
#include "toolkit/application_win.h"
#include "toolkit/picture_win.h"
#include "toolkit/text_win.h"

namespace vistrel {

namespace {

ClockReading ReadLocalClock() {
  SYSTEMTIME t;
  GetLocalTime(&t);
  return ClockReading{t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
}

// About a second of waiting for the clock, should it ever stand still.
constexpr int kMaxClockRereads = 1000;

// One file being written while the next capture is grabbed, and one more
// waiting: enough to keep the grab busy, little memory held.
constexpr std::size_t kQueuedFiles = 2;

}  // namespace

void AutoRecorder::Record(std::shared_ptr<const Picture> capture,
                          const settings::AutoRecordPlan& plan) {
  if (sessionEnded_) return;
  // The date from one reading, the time from the next.
  const ClockReading date = ReadLocalClock();
  const ClockReading time = ReadLocalClock();
  // One level only; an existing folder or a missing parent is no error here.
  CreateDirectoryW(Wide(plan.folder).c_str(), nullptr);

  using settings::FileFormat;
  if (plan.format == FileFormat::None) return;
  const bool bmp = plan.format == FileFormat::Bmp;
  const int quality = bmp ? 0 : plan.quality.Value();
  const std::string stem = NextAutoRecName(
      date, time, lastStem_, ReadLocalClock, [] { Sleep(1); }, kMaxClockRereads);
  lastStem_ = stem;
  std::string path = AutoRecPath(plan.folder, stem, bmp ? "bmp" : "jpg");
  if (!writes_) writes_.emplace(kQueuedFiles);
  writes_->Push(
      [capture = std::move(capture), path = std::move(path), bmp, quality](bool afterFailure) {
        // Only the first failure of a burst is reported: a later one leaves
        // no file behind.
        const FailedFile failed = afterFailure ? FailedFile::Remove : FailedFile::KeepAsWritten;
        if (bmp)
          BmpWriter(*capture, path, failed);
        else
          JpegWriter(*capture, path, quality, failed);
      },
      AnswerSentMessages);
}

void AutoRecorder::EndSession() noexcept {
  sessionEnded_ = true;
  if (!writes_) return;
  // The queue stays: a push or a wait this was called back from goes on
  // with it once this returns.
  writes_->Seal();
  writes_->Drain(AnswerSentMessages);
}

bool AutoRecorder::Failed() const { return writes_ && writes_->Failed(); }

std::exception_ptr AutoRecorder::WaitForWrites() noexcept {
  if (!writes_) return nullptr;
  writes_->Drain(AnswerSentMessages);
  std::exception_ptr failure = writes_->TakeFailure();
  // The thread and its memory go until the next burst.
  writes_.reset();
  return failure;
}

}  // namespace vistrel
