#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "toolkit/window_win.h"

namespace vistrel {

// ChangeWindowMessageFilterEx, or a stand-in.
using MessageFilter = BOOL(WINAPI*)(HWND window, UINT message, DWORD action,
                                    PCHANGEFILTERSTRUCT info);
// The system's, looked up at run time; null before Windows 7.
MessageFilter SystemMessageFilter();
// An elevated program receives no message from a program of lower integrity
// unless its window lets that message through: this one only.
void LetThroughFromLowerIntegrity(HWND window, UINT message,
                                  MessageFilter filter = SystemMessageFilter());

// The application: its title, the hidden application window that owns the
// forms (it carries the taskbar button, present only while a form is
// visible), the application-wide minimise and restore, and the message loop.
// The program makes one and hands it to the forms it creates.
class Application {
 public:
  // filter: lets the broadcasts it answers through to an elevated program.
  explicit Application(std::string title, MessageFilter filter = SystemMessageFilter());
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  const std::string& Title() const { return title_; }
  HWND Handle() const { return window_.Handle(); }

  // A top-level form, owned by the application window; the first one added
  // is the main form.
  void AddForm(Window* form);
  // Closes the main form, whose close ends the program.
  void CloseMainForm();
  // Called after a form was shown or hidden: the taskbar button follows.
  void FormVisibilityChanged();

  // The message loop gives this form's keys to IsDialogMessage while it is
  // active, as in a dialog box, except Enter and Escape, which no button
  // takes. Its control ids stay clear of IDOK and IDCANCEL.
  void UseDialogKeys(HWND form);

  void OnMinimize(std::function<void()> handler);
  // The user's session ends (log-off, shutdown): the system may end the
  // process as soon as the handler returns. Never in the way of the end.
  void OnSessionEnd(std::function<void()> handler);
  // A message another program broadcasts to every top-level window under
  // that registered name ("TaskbarCreated" when the shell starts again),
  // with its first parameter; let through from lower integrity, it alone.
  void OnBroadcast(const char* name, std::function<void(WPARAM)> handler);
  // Hides every form; the minimise handler follows.
  void Minimize();
  // Undoes a minimise: the forms it hid come back. Otherwise nothing.
  void Restore();
  // The most recently active visible and enabled form becomes foreground.
  void BringToFront();

  int Run();
  void Terminate();

 private:
  // The window with the taskbar button, "TApplication".
  class HiddenWindow : public Window {
   public:
    explicit HiddenWindow(Application& app) : app_(app) {}
    void Create(const std::string& title);

   protected:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

   private:
    Application& app_;
  };

  HWND ActiveKeyboardForm() const;
  bool AnswerBroadcast(UINT message, WPARAM wParam);

  std::string title_;
  MessageFilter filter_;
  HiddenWindow window_{*this};
  std::vector<Window*> forms_;
  std::vector<HWND> keyboardForms_;
  std::vector<Window*> hiddenByMinimize_;
  std::vector<std::pair<UINT, std::function<void(WPARAM)>>> broadcasts_;
  std::function<void()> minimizeHandler_;
  std::function<void()> sessionEndHandler_;
  bool minimized_ = false;
  bool terminated_ = false;
};

// Handles the messages other threads and programs are waiting on (sent, not
// posted), for work that keeps the GUI thread away from the loop.
void AnswerSentMessages();

}  // namespace vistrel
