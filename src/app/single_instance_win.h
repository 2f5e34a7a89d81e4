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
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  bool AlreadyRunning() const { return alreadyRunning_; }
  // The running program brings its preview window back, as "Restore" does.
  void WakeTheRunningOne() const;

  // What the running program is broadcast by a second start.
  static constexpr const char* kWakeMessage = "Vistrel.ShowPreview";

 private:
  HANDLE mutex_;
  bool alreadyRunning_;
};

}  // namespace vistrel
