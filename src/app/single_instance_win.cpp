#include "app/single_instance_win.h"

namespace vistrel {

namespace {
// Per session: another user logged on beside runs a program of their own.
constexpr char kMutexName[] = "Local\\Vistrel.Running";
}  // namespace

SingleInstance::SingleInstance()
    : mutex_(CreateMutexA(nullptr, FALSE, kMutexName)),
      alreadyRunning_(mutex_ && GetLastError() == ERROR_ALREADY_EXISTS) {}

SingleInstance::~SingleInstance() {
  if (mutex_) CloseHandle(mutex_);
}

void SingleInstance::WakeTheRunningOne() const {
  // Posted to every top-level window: only the running program knows it.
  PostMessageA(HWND_BROADCAST, RegisterWindowMessageA(kWakeMessage), 0, 0);
}

}  // namespace vistrel
