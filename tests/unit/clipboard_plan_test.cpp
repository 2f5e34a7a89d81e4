#include "capture/clipboard_plan.h"

#include <gtest/gtest.h>

#include <functional>
#include <utility>
#include <vector>

namespace vistrel {
namespace {

// A clipboard as Windows keeps it, for captures numbered 1, 2, 3... in the
// order taken; another program's content is a negative number.
class FakeClipboard final : public ClipboardPort<int> {
 public:
  bool busy = false;    // another program holds it open
  int content = 0;      // what a reader would get
  bool marked = false;  // with the history's marks
  bool made = false;    // the bitmap exists (rendered or put as such)
  std::vector<ClipboardWait> opens;
  ClipboardPlan<int> plan{*this};

  std::function<void()> whileWaiting;  // a message answered during a wait

  bool Open(ClipboardWait wait) override {
    opens.push_back(wait);
    if (wait != ClipboardWait::None && whileWaiting) std::exchange(whileWaiting, nullptr)();
    return !busy;
  }
  // As Windows counts: each change, and the close after a change.
  void Close() override {
    if (std::exchange(changedInOpen_, false)) ++sequence_;
  }
  void Announce(const int& capture, bool withMarks) override {
    Empty();
    ours_ = true;
    content = capture;
    marked = withMarks;
    made = false;
    ++sequence_;
    changedInOpen_ = true;
  }
  void Render(const int& capture) override {
    ASSERT_TRUE(ours_ && content == capture) << "rendered what the clipboard does not hold";
    made = true;
  }
  void PutBitmap(const int& capture) override {
    Empty();
    ours_ = true;
    content = capture;
    marked = false;
    made = true;
    ++sequence_;
    changedInOpen_ = true;
  }
  std::uint32_t Sequence() const override { return sequence_; }

  // The user copies something in another program.
  void OtherProgramWrites(int text) {
    Empty();
    content = -text;
    marked = false;
    made = true;
    sequence_ += 2;  // its change and its close
  }
  // A reader asks for the announced bitmap.
  void ReaderAsks() {
    if (!ours_ || made) return;
    ASSERT_EQ(plan.Owed(), content);
    made = true;
    plan.Rendered();
  }
  ClipboardWait LastWait() const { return opens.back(); }

 private:
  void Empty() {
    // WM_DESTROYCLIPBOARD, to the owner.
    if (std::exchange(ours_, false)) plan.Emptied();
  }
  bool ours_ = false;
  bool changedInOpen_ = false;
  std::uint32_t sequence_ = 100;
};

TEST(ClipboardPlan, APressIsAnnouncedAtOnceAndMadeAtTheBurstsEnd) {
  FakeClipboard clip;
  ASSERT_TRUE(clip.plan.Put(1, CapturePlace::Press));
  EXPECT_EQ(clip.LastWait(), ClipboardWait::Short);
  EXPECT_EQ(clip.content, 1);
  EXPECT_FALSE(clip.marked);
  EXPECT_FALSE(clip.made);
  clip.plan.EndBurst();
  EXPECT_TRUE(clip.made);
}

TEST(ClipboardPlan, APressOnAHeldClipboardIsTheErrorAndChangesNothing) {
  FakeClipboard clip;
  clip.OtherProgramWrites(7);
  clip.busy = true;
  EXPECT_FALSE(clip.plan.Put(1, CapturePlace::Press));
  clip.plan.EndBurst();
  clip.busy = false;
  clip.plan.EndBurst();
  EXPECT_EQ(clip.content, -7);
  EXPECT_FALSE(clip.plan.HoldsBack()) << "the press's capture was reported, not held";
}

TEST(ClipboardPlan, ABurstsCapturesAreMarkedAndItsLastEndsUnmarkedAndMade) {
  FakeClipboard clip;
  clip.plan.Put(1, CapturePlace::Press);
  clip.plan.RenderNow(ClipboardWait::Short);
  EXPECT_TRUE(clip.made);
  for (int capture = 2; capture <= 4; ++capture) {
    clip.plan.Put(capture, CapturePlace::InBurst);
    EXPECT_EQ(clip.LastWait(), ClipboardWait::None) << "a burst never waits";
    EXPECT_TRUE(clip.marked);
    clip.ReaderAsks();
  }
  clip.plan.EndBurst();
  EXPECT_EQ(clip.content, 4);
  EXPECT_FALSE(clip.marked);
  EXPECT_TRUE(clip.made);
}

TEST(ClipboardPlan, ABusyClipboardHoldsCapturesBackWithoutEndingTheBurstAndTheNewestGoesThere) {
  FakeClipboard clip;
  clip.plan.Put(1, CapturePlace::Press);
  clip.busy = true;
  for (int capture = 2; capture <= 5; ++capture)
    EXPECT_TRUE(clip.plan.Put(capture, CapturePlace::InBurst));
  EXPECT_TRUE(clip.plan.HoldsBack());
  EXPECT_EQ(clip.content, 1);
  clip.busy = false;
  clip.plan.Put(6, CapturePlace::InBurst);
  EXPECT_FALSE(clip.plan.HoldsBack()) << "a newer capture replaced the held-back one";
  clip.plan.EndBurst();
  EXPECT_EQ(clip.content, 6);
  EXPECT_TRUE(clip.made);
}

TEST(ClipboardPlan, AClipboardStillBusyAtTheBurstsEndIsLeftToIdleTicksThatNeverWait) {
  FakeClipboard clip;
  clip.plan.Put(1, CapturePlace::Press);
  clip.busy = true;
  clip.plan.Put(2, CapturePlace::InBurst);
  clip.plan.EndBurst();
  // Idle ticks try once, without waiting, and put it there when it frees.
  clip.plan.EndBurst();
  EXPECT_EQ(clip.LastWait(), ClipboardWait::None);
  clip.busy = false;
  clip.plan.EndBurst();
  EXPECT_EQ(clip.LastWait(), ClipboardWait::None);
  EXPECT_EQ(clip.content, 2);
  EXPECT_FALSE(clip.marked);
  EXPECT_TRUE(clip.made);
}

TEST(ClipboardPlan, WhatTheUserCopiedAfterABurstStaysTheirs) {
  FakeClipboard clip;
  clip.plan.Put(1, CapturePlace::Press);
  clip.busy = true;
  clip.plan.Put(2, CapturePlace::InBurst);
  clip.plan.EndBurst();  // busy: 2 held back
  clip.busy = false;
  clip.OtherProgramWrites(9);
  clip.plan.EndBurst();  // an idle tick
  EXPECT_EQ(clip.content, -9);
  EXPECT_FALSE(clip.plan.HoldsBack()) << "dropped: its file holds it";
  clip.plan.End();
  EXPECT_EQ(clip.content, -9);
}

TEST(ClipboardPlan, AWriterBetweenAnyTwoStepsIsNeverReplacedByAnOlderCapture) {
  // press, two inner captures (the clipboard busy for the second), the
  // burst's end, an idle tick, the program's end; the user copies after
  // step k.
  for (int k = 0; k <= 6; ++k) {
    FakeClipboard clip;
    int takenBeforeCopy = 0;
    int step = 0;
    const auto afterStep = [&](int lastTaken) {
      if (step++ == k) {
        clip.OtherProgramWrites(9);
        takenBeforeCopy = lastTaken;
      }
    };
    clip.plan.Put(1, CapturePlace::Press);
    afterStep(1);
    clip.plan.Put(2, CapturePlace::InBurst);
    afterStep(2);
    clip.busy = true;
    clip.plan.Put(3, CapturePlace::InBurst);
    afterStep(3);
    clip.plan.EndBurst();
    afterStep(3);
    clip.busy = false;
    clip.plan.EndBurst();
    afterStep(3);
    clip.plan.End();
    afterStep(3);
    if (takenBeforeCopy == 3) {
      // Nothing taken after the copy: the copy stays.
      EXPECT_EQ(clip.content, -9) << "copied after step " << k;
    } else {
      // A capture taken after the copy is newer: it goes there.
      EXPECT_EQ(clip.content, 3) << "copied after step " << k;
      EXPECT_TRUE(clip.made);
    }
  }
}

TEST(ClipboardPlan, TheProgramsEndPutsWhatIsOwedAndLetsGoWhenTheClipboardStaysHeld) {
  FakeClipboard clip;
  clip.plan.Put(1, CapturePlace::Press);
  clip.busy = true;
  clip.plan.Put(2, CapturePlace::InBurst);
  clip.plan.EndBurst();
  clip.busy = false;
  clip.plan.End();
  EXPECT_EQ(clip.LastWait(), ClipboardWait::AtEnd);
  EXPECT_EQ(clip.content, 2);
  EXPECT_TRUE(clip.made);

  FakeClipboard owed;
  owed.plan.Put(1, CapturePlace::Press);
  owed.plan.End();
  EXPECT_TRUE(owed.made) << "the announced bitmap is made before the owner goes";

  FakeClipboard held;
  held.plan.Put(1, CapturePlace::Press);
  held.busy = true;
  held.plan.End();  // the wait runs out: the files hold the capture
  EXPECT_FALSE(held.made);
}

// At a session's end the process may be ended as soon as End() returns: a
// promise made after it would leave the clipboard empty.
TEST(ClipboardPlan, AfterTheProgramsEndTheClipboardIsNeverTouchedAgain) {
  FakeClipboard clip;
  clip.plan.Put(1, CapturePlace::Press);
  clip.plan.Put(2, CapturePlace::InBurst);
  clip.plan.End();
  EXPECT_EQ(clip.content, 2);
  EXPECT_TRUE(clip.made);
  const auto sequence = clip.Sequence();
  EXPECT_TRUE(clip.plan.Put(3, CapturePlace::InBurst));
  clip.plan.EndBurst();
  EXPECT_TRUE(clip.plan.Put(4, CapturePlace::Press));
  clip.plan.EndBurst();
  EXPECT_EQ(clip.Sequence(), sequence) << "no change after the end";
  EXPECT_EQ(clip.content, 2);

  // The end comes while the press's capture waits for the clipboard.
  FakeClipboard waiting;
  waiting.plan.Put(1, CapturePlace::Press);
  waiting.plan.EndBurst();
  waiting.whileWaiting = [&] { waiting.plan.End(); };
  EXPECT_TRUE(waiting.plan.Put(2, CapturePlace::Press)) << "no error at the end";
  waiting.plan.EndBurst();
  EXPECT_EQ(waiting.content, 1);
  EXPECT_TRUE(waiting.made);
}

TEST(ClipboardPlan, AReadersRequestMakesTheBitmapOnceAndOnlyWhileItIsOurs) {
  FakeClipboard clip;
  clip.plan.Put(1, CapturePlace::Press);
  clip.ReaderAsks();
  EXPECT_EQ(clip.plan.Owed(), 0);
  clip.plan.Put(2, CapturePlace::InBurst);
  EXPECT_EQ(clip.plan.Owed(), 2);
  clip.OtherProgramWrites(5);
  EXPECT_EQ(clip.plan.Owed(), 0) << "the promise ended with the other program's write";
  clip.plan.EndBurst();
  EXPECT_EQ(clip.content, -5);
}

}  // namespace
}  // namespace vistrel
