#include "capture/write_queue.h"

#include <algorithm>
#include <chrono>
#include <utility>

namespace vistrel {

namespace {
constexpr auto kWaitSlice = std::chrono::milliseconds(2);
}

WriteQueue::WriteQueue(std::size_t capacity)
    : capacity_(capacity > 0 ? capacity : 1), worker_([this] { Work(); }) {}

WriteQueue::~WriteQueue() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
  }
  changed_.notify_all();
  worker_.join();
}

void WriteQueue::Push(Job job, const Idle& whileWaiting) {
  std::unique_lock lock(mutex_);
  if (sealed_) return;
  if (jobs_.size() >= capacity_) {
    waiting_.push_back(&job);
    const auto taken = [this, &job] {
      return std::find(waiting_.begin(), waiting_.end(), &job) == waiting_.end();
    };
    WaitUntil(
        lock, [&] { return taken() || jobs_.size() < capacity_; }, whileWaiting);
    // Sealed meanwhile: the job is queued already.
    if (taken()) return;
    waiting_.erase(std::find(waiting_.begin(), waiting_.end(), &job));
  }
  jobs_.push_back(std::move(job));
  lock.unlock();
  changed_.notify_all();
}

void WriteQueue::Seal() {
  {
    std::lock_guard lock(mutex_);
    sealed_ = true;
    for (Job* job : std::exchange(waiting_, {})) jobs_.push_back(std::move(*job));
  }
  changed_.notify_all();
}

void WriteQueue::Drain(const Idle& whileWaiting) {
  std::unique_lock lock(mutex_);
  WaitUntil(
      lock, [this] { return jobs_.empty() && !running_; }, whileWaiting);
}

bool WriteQueue::Failed() const {
  std::lock_guard lock(mutex_);
  return failure_ != nullptr;
}

std::exception_ptr WriteQueue::TakeFailure() {
  std::lock_guard lock(mutex_);
  return std::exchange(failure_, nullptr);
}

void WriteQueue::WaitUntil(std::unique_lock<std::mutex>& lock, const std::function<bool()>& done,
                           const Idle& whileWaiting) {
  while (!done()) {
    if (!whileWaiting) {
      changed_.wait(lock);
      continue;
    }
    changed_.wait_for(lock, kWaitSlice);
    if (done()) break;
    lock.unlock();
    whileWaiting();
    lock.lock();
  }
}

void WriteQueue::Work() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
    if (jobs_.empty()) return;  // stopping, nothing left
    Job job = std::move(jobs_.front());
    jobs_.pop_front();
    running_ = true;
    const bool afterFailure = failure_ != nullptr;
    lock.unlock();
    std::exception_ptr failure;
    try {
      job(afterFailure);
    } catch (...) {
      failure = std::current_exception();
    }
    job = nullptr;  // lets go of the job's picture before it counts as done
    lock.lock();
    running_ = false;
    if (failure && !failure_) failure_ = failure;
    changed_.notify_all();
  }
}

}  // namespace vistrel
