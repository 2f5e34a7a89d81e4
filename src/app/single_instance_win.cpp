#include "app/single_instance_win.h"

#include "toolkit/text_win.h"

namespace vistrel {

namespace {
// Per session: another user logged on beside runs a program of their own.
constexpr wchar_t kMutexName[] = L"Local\\Vistrel.Running";
}  // namespace

SingleInstance::SingleInstance(MutexMaker createMutex)
    : mutex_(createMutex(nullptr, FALSE, kMutexName)) {
  const DWORD error = GetLastError();
  // A first program running elevated keeps its mutex from a program of
  // lower integrity: denied, it is running all the same.
  alreadyRunning_ = mutex_ ? error == ERROR_ALREADY_EXISTS : error == ERROR_ACCESS_DENIED;
}

SingleInstance::~SingleInstance() {
  if (mutex_) CloseHandle(mutex_);
}

void SingleInstance::WakeTheRunningOne() const {
  // Posted to every top-level window: only the running program knows it.
  PostMessageW(HWND_BROADCAST, RegisterWindowMessageW(Wide(kWakeMessage).c_str()), 0, 0);
}

}  // namespace vistrel
