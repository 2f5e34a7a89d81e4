#include "app/single_instance_win.h"

#include "toolkit/application_win.h"
#include "toolkit/text_win.h"

namespace vistrel {

namespace {
// Per session: another user logged on beside runs a program of their own.
constexpr wchar_t kMutexName[] = L"Local\\Vistrel.Running";
// The running program's answer to a wake, posted to the window the wake names.
constexpr wchar_t kAnswerMessage[] = L"Vistrel.Answer";
// A running program still starting hears no wake: it is sent again this often.
constexpr DWORD kWakeIntervalMs = 250;
// A running program in a long burst answers once it is over: the second start
// does not wait that long.
constexpr DWORD kHandOverPatienceMs = 10000;
}  // namespace

SingleInstance::SingleInstance(MutexMaker createMutex)
    : mutex_(createMutex(nullptr, TRUE, kMutexName)) {
  const DWORD error = GetLastError();
  // A first program running elevated keeps its mutex from a program of
  // lower integrity: denied, it is running all the same. Otherwise the
  // mutex is this thread's, or a handle to the running program's to wait on.
  alreadyRunning_ = mutex_ ? error == ERROR_ALREADY_EXISTS : error == ERROR_ACCESS_DENIED;
}

void SingleInstance::Release() {
  if (!mutex_) return;
  if (!alreadyRunning_) ReleaseMutex(mutex_);
  CloseHandle(mutex_);
  mutex_ = nullptr;
}

bool SingleInstance::HandOver() {
  // The program the user just started may give the foreground away; the
  // running one's process is known only once it answers, so the right goes
  // to whichever asks first, for this moment.
  AllowSetForegroundWindow(ASFW_ANY);
  const UINT wake = RegisterWindowMessageW(Wide(kWakeMessage).c_str());
  const UINT answer = RegisterWindowMessageW(kAnswerMessage);
  HWND answerWindow =
      CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
  // An elevated second start still hears a running program that is not.
  LetThroughFromLowerIntegrity(answerWindow, answer);
  bool answered = false, ended = false;
  for (const DWORD start = GetTickCount();
       !answered && !ended && GetTickCount() - start < kHandOverPatienceMs;) {
    // Posted to every top-level window: only the running program knows it.
    PostMessageW(HWND_BROADCAST, wake, reinterpret_cast<WPARAM>(answerWindow), 0);
    // The mutex comes free when the running program ends (or dies).
    const DWORD waited =
        MsgWaitForMultipleObjects(mutex_ ? 1 : 0, &mutex_, FALSE, kWakeIntervalMs, QS_POSTMESSAGE);
    ended = mutex_ && (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED_0);
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) answered |= msg.message == answer;
  }
  DestroyWindow(answerWindow);
  // Ended: the mutex is this thread's now.
  if (ended) alreadyRunning_ = false;
  return ended;
}

void SingleInstance::Answer(WPARAM wake) {
  if (wake)
    PostMessageW(reinterpret_cast<HWND>(wake), RegisterWindowMessageW(kAnswerMessage), 0, 0);
}

}  // namespace vistrel
