#include "app/single_instance_win.h"

#include "toolkit/text_win.h"

namespace vistrel {

namespace {
// Per session: another user logged on beside runs a program of their own.
constexpr wchar_t kMutexName[] = L"Local\\Vistrel.Running";
}  // namespace

SingleInstance::SingleInstance()
    : mutex_(CreateMutexW(nullptr, FALSE, kMutexName)),
      alreadyRunning_(mutex_ && GetLastError() == ERROR_ALREADY_EXISTS) {}

SingleInstance::~SingleInstance() {
  if (mutex_) CloseHandle(mutex_);
}

void SingleInstance::WakeTheRunningOne() const {
  // Posted to every top-level window: only the running program knows it.
  PostMessageW(HWND_BROADCAST, RegisterWindowMessageW(Wide(kWakeMessage).c_str()), 0, 0);
}

}  // namespace vistrel
