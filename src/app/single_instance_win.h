#pragma once
#include <windows.h>

namespace vistrel {

// One program at a time in a user's session: a second start (a double-click
// again when nothing seemed to open, the start-up folder holding it twice)
// finds the first running, asks it to come forward and ends.
class SingleInstance {
 public:
  // CreateMutexW, or a stand-in.
  using MutexMaker = HANDLE(WINAPI*)(LPSECURITY_ATTRIBUTES attributes, BOOL owned, LPCWSTR name);
  explicit SingleInstance(MutexMaker createMutex = &CreateMutexW);
  ~SingleInstance() { Release(); }
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  bool AlreadyRunning() const { return alreadyRunning_; }
  // A second start: gives the running program the right to come to the
  // front and wakes it until it answers, or until it has ended, a few seconds
  // at most. True when it ended: this program is the one running now.
  bool HandOver();
  // The end of the running program, once its loop is over: a new start no
  // longer waits for what its end still does (the clipboard's last wait).
  void Release();
  // The running program, woken and in front: tells the start that woke it
  // (the wake's parameter) that it may end.
  static void Answer(WPARAM wake);

  // What the running program is broadcast by a second start.
  static constexpr const char* kWakeMessage = "Vistrel.ShowPreview";

 private:
  HANDLE mutex_;
  bool alreadyRunning_;
};

}  // namespace vistrel
