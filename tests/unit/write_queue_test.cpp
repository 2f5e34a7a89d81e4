#include "capture/write_queue.h"

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <mutex>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace vistrel {
namespace {

// What the jobs did, in the order they did it.
struct Log {
  std::mutex mutex;
  std::vector<int> done;
  void Add(int n) {
    std::lock_guard lock(mutex);
    done.push_back(n);
  }
};

TEST(WriteQueue, RunsEveryJobInTheOrderQueued) {
  Log log;
  WriteQueue queue(2);
  for (int i = 0; i < 50; ++i) queue.Push([&log, i](bool) { log.Add(i); }, [] {});
  queue.Drain([] {});
  std::vector<int> expected(50);
  for (int i = 0; i < 50; ++i) expected[i] = i;
  EXPECT_EQ(log.done, expected);
  EXPECT_FALSE(queue.Failed());
  EXPECT_EQ(queue.TakeFailure(), nullptr);
}

TEST(WriteQueue, APushBeyondTheCapacityWaitsAnsweringWhileItWaits) {
  // The first job holds the worker; two more fill the queue; the fourth push
  // has to wait, and keeps calling back until the worker moves on.
  std::promise<void> gate;
  std::shared_future<void> open = gate.get_future().share();
  std::atomic<bool> started{false};
  Log log;
  WriteQueue queue(2);
  queue.Push(
      [&, open](bool) {
        started = true;
        open.wait();
        log.Add(0);
      },
      [] {});
  while (!started) std::this_thread::yield();
  queue.Push([&](bool) { log.Add(1); }, [] { FAIL() << "room was left"; });
  queue.Push([&](bool) { log.Add(2); }, [] { FAIL() << "room was left"; });
  int calls = 0;
  queue.Push([&](bool) { log.Add(3); },
             [&] {
               if (++calls == 3) gate.set_value();
             });
  EXPECT_GE(calls, 3);
  queue.Drain([] {});
  EXPECT_EQ(log.done, (std::vector<int>{0, 1, 2, 3}));
}

TEST(WriteQueue, SealedWhileAPushWaitsForRoomItRunsThatPushAndTakesNoMore) {
  // The session ends while a push waits: the handler, called back from that
  // wait, seals the queue and drains it. The waiting push's capture was taken
  // before the end: its file is written within the drain; a later push is not.
  std::promise<void> gate;
  std::shared_future<void> open = gate.get_future().share();
  std::atomic<bool> started{false};
  Log log;
  WriteQueue queue(2);
  queue.Push(
      [&, open](bool) {
        started = true;
        open.wait();
        log.Add(0);
      },
      [] {});
  while (!started) std::this_thread::yield();
  queue.Push([&](bool) { log.Add(1); }, [] {});
  queue.Push([&](bool) { log.Add(2); }, [] {});
  bool ended = false;
  queue.Push([&](bool) { log.Add(3); },
             [&] {
               if (std::exchange(ended, true)) return;
               queue.Seal();
               gate.set_value();
               queue.Drain([] {});
               EXPECT_EQ(log.done, (std::vector<int>{0, 1, 2, 3}));
             });
  EXPECT_TRUE(ended);
  queue.Push([&](bool) { log.Add(4); }, [] {});
  queue.Drain([] {});
  EXPECT_EQ(log.done, (std::vector<int>{0, 1, 2, 3}));
}

TEST(WriteQueue, DrainWaitsForTheJobUnderWay) {
  std::promise<void> gate;
  std::shared_future<void> open = gate.get_future().share();
  std::atomic<bool> started{false}, finished{false};
  WriteQueue queue(1);
  queue.Push(
      [&, open](bool) {
        started = true;
        open.wait();
        finished = true;
      },
      [] {});
  while (!started) std::this_thread::yield();
  int calls = 0;
  queue.Drain([&] {
    EXPECT_FALSE(finished);
    if (++calls == 2) gate.set_value();
  });
  EXPECT_TRUE(finished);
  EXPECT_GE(calls, 2);
}

TEST(WriteQueue, AFailureKeepsTheJobsAfterItTellsThemAndIsTakenOnce) {
  Log log;
  std::vector<bool> told;  // afterFailure of each job, in order
  auto job = [&](int n, bool fails) {
    return [&, n, fails](bool afterFailure) {
      told.push_back(afterFailure);
      if (fails) throw std::runtime_error(n == 1 ? "first" : "second");
      log.Add(n);
    };
  };
  WriteQueue queue(4);
  queue.Push(job(0, false), [] {});
  queue.Push(job(1, true), [] {});
  queue.Push(job(2, false), [] {});
  queue.Push(job(3, true), [] {});
  queue.Push(job(4, false), [] {});
  queue.Drain([] {});
  EXPECT_EQ(log.done, (std::vector<int>{0, 2, 4}));
  EXPECT_EQ(told, (std::vector<bool>{false, false, true, true, true}));
  ASSERT_TRUE(queue.Failed());
  std::exception_ptr failure = queue.TakeFailure();
  ASSERT_NE(failure, nullptr);
  try {
    std::rethrow_exception(failure);
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "first");
  }
  EXPECT_FALSE(queue.Failed());
  EXPECT_EQ(queue.TakeFailure(), nullptr);

  // Once taken, the next job is not told of it; a new failure is kept again.
  told.clear();
  queue.Push(job(5, true), [] {});
  queue.Push(job(6, false), [] {});
  queue.Drain([] {});
  EXPECT_EQ(told, (std::vector<bool>{false, true}));
  EXPECT_TRUE(queue.Failed());
}

TEST(WriteQueue, ClosingRunsWhatIsQueued) {
  Log log;
  {
    WriteQueue queue(3);
    for (int i = 0; i < 3; ++i) queue.Push([&log, i](bool) { log.Add(i); }, [] {});
  }
  EXPECT_EQ(log.done, (std::vector<int>{0, 1, 2}));
}

TEST(WriteQueue, AJobLetsGoOfWhatItHoldsBeforeItCountsAsDone) {
  // A queued write holds its capture; once drained, nothing is held.
  auto capture = std::make_shared<std::string>("pixels");
  std::weak_ptr<std::string> watch = capture;
  WriteQueue queue(1);
  queue.Push([held = std::move(capture)](bool) { (void)held; }, [] {});
  queue.Drain([] {});
  EXPECT_TRUE(watch.expired());
}

}  // namespace
}  // namespace vistrel
