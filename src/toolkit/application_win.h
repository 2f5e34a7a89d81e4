#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace vistrel {

class Window;

// The application object: title, the hidden application window that owns the
// forms (it carries the taskbar button, present only while a form is
// visible), the application-wide minimise notification and the message loop.
class Application {
 public:
  static void Initialize();
  static void SetTitle(const std::string& title);
  static const std::string& Title();
  static HWND Handle();

  // A top-level form, owned by the application window; the first one added
  // is the main form.
  static void AddForm(Window* form);
  // Closes the main form, whose close ends the program.
  static void CloseMainForm();
  // Called after a form was shown or hidden: the taskbar button follows.
  static void FormVisibilityChanged();

  // The message loop gives this form's keys to IsDialogMessage while it is
  // active, as in a dialog box, except Enter and Escape, which no button
  // takes. Its control ids stay clear of IDOK and IDCANCEL.
  static void UseDialogKeys(HWND form);

  static void OnMinimize(std::function<void()> handler);
  static void Minimize();
  static void Restore();
  // The most recently active visible and enabled form becomes foreground.
  static void BringToFront();

  static int Run();
  // Handles the messages other threads and programs are waiting on (sent,
  // not posted), for work that keeps the GUI thread away from the loop.
  static void AnswerSentMessages();
  static void Terminate();
};

}  // namespace vistrel
