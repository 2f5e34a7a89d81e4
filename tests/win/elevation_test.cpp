#include <windows.h>

#include <gtest/gtest.h>

#include <set>
#include <utility>

#include "app/single_instance_win.h"
#include "toolkit/application_win.h"

namespace vistrel {
namespace {

// Stand-ins for CreateMutexW as its documentation gives it for a program of
// lower integrity than the first one: the existing mutex of an elevated
// program refuses the access asked for; a name taken by an object of another
// kind is an invalid handle.
HANDLE WINAPI MutexOfAnElevatedProgram(LPSECURITY_ATTRIBUTES, BOOL, LPCWSTR) {
  SetLastError(ERROR_ACCESS_DENIED);
  return nullptr;
}

HANDLE WINAPI NameOfAnotherKind(LPSECURITY_ATTRIBUTES, BOOL, LPCWSTR) {
  SetLastError(ERROR_INVALID_HANDLE);
  return nullptr;
}

TEST(Elevation, AMutexAnElevatedProgramKeepsFromThisOneMeansAlreadyRunning) {
  EXPECT_TRUE(SingleInstance(&MutexOfAnElevatedProgram).AlreadyRunning());
  // Anything else that makes no mutex is no program: this one runs.
  EXPECT_FALSE(SingleInstance(&NameOfAnotherKind).AlreadyRunning());
}

// User Interface Privilege Isolation, standing in for an elevated program:
// a registered message from a program of lower integrity reaches a window
// only when ChangeWindowMessageFilterEx let it through on that window.
std::set<std::pair<HWND, UINT>> letThrough;

BOOL WINAPI StandInFilter(HWND window, UINT message, DWORD action, PCHANGEFILTERSTRUCT) {
  if (action != MSGFLT_ALLOW) return FALSE;
  letThrough.insert({window, message});
  return TRUE;
}

void SendFromLowerIntegrity(HWND window, UINT message) {
  if (letThrough.count({window, message})) SendMessageW(window, message, 0, 0);
}

TEST(Elevation, ExactlyTheBroadcastsAnsweredComeThroughFromAProgramOfLowerIntegrity) {
  letThrough.clear();
  Application app("Vistrel", &StandInFilter);
  int shellStarted = 0, woken = 0;
  app.OnBroadcast("TaskbarCreated", [&](WPARAM) { ++shellStarted; });
  app.OnBroadcast(SingleInstance::kWakeMessage, [&](WPARAM) { ++woken; });
  const UINT taskbarCreated = RegisterWindowMessageW(L"TaskbarCreated");
  const UINT wake = RegisterWindowMessageW(L"Vistrel.ShowPreview");
  EXPECT_EQ(letThrough, (std::set<std::pair<HWND, UINT>>{{app.Handle(), taskbarCreated},
                                                         {app.Handle(), wake}}));
  SendFromLowerIntegrity(app.Handle(), taskbarCreated);
  SendFromLowerIntegrity(app.Handle(), wake);
  EXPECT_EQ(shellStarted, 1) << "the icon comes back after Explorer restarts";
  EXPECT_EQ(woken, 1) << "a second start reaches the running program";
}

}  // namespace
}  // namespace vistrel
