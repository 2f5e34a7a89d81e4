#pragma once
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace vistrel {

// File writes run on one worker thread beside the captures, in the order
// they were queued. At most `capacity` wait; a push beyond that waits for
// room. A job that throws does not stop the ones after it: each capture
// taken is still written if it can be. The first failure is kept until it
// is taken; the jobs that run while it is kept are told so.
//
// The GUI thread must keep answering messages sent to it (a clipboard reader
// asking for a rendering) while it waits here: every wait calls `whileWaiting`
// every few milliseconds.
class WriteQueue {
 public:
  // afterFailure: an earlier job failed, and that failure has not been taken.
  using Job = std::function<void(bool afterFailure)>;
  using Idle = std::function<void()>;

  explicit WriteQueue(std::size_t capacity);
  // Runs what is queued, then stops the worker.
  ~WriteQueue();
  WriteQueue(const WriteQueue&) = delete;
  WriteQueue& operator=(const WriteQueue&) = delete;

  // Queues the job, unless the queue is sealed.
  void Push(Job job, const Idle& whileWaiting);
  // No new job is taken any more (the session ends, and a file begun after
  // it might be cut short). What was queued still runs, and so does a job
  // whose push waits for room: its capture was taken before the end.
  void Seal();
  // Returns once every job queued so far has run.
  void Drain(const Idle& whileWaiting);
  // Whether a job has failed since the failure was last taken.
  bool Failed() const;
  // The first failure since the last call, or null; clears it.
  std::exception_ptr TakeFailure();

 private:
  void Work();
  // Waits until `done` holds, calling whileWaiting between short waits.
  void WaitUntil(std::unique_lock<std::mutex>& lock, const std::function<bool()>& done,
                 const Idle& whileWaiting);

  const std::size_t capacity_;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Job> jobs_;
  std::vector<Job*> waiting_;  // the jobs of pushes waiting for room
  bool running_ = false;       // a job is being run
  bool stopping_ = false;
  bool sealed_ = false;
  std::exception_ptr failure_;
  std::thread worker_;
};

}  // namespace vistrel
