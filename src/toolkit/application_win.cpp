#include "toolkit/application_win.h"

#include <algorithm>

#include "toolkit/window_win.h"

namespace vistrel {
namespace {

struct State {
  std::string title;
  HWND handle = nullptr;
  std::vector<Window*> forms;
  std::vector<HWND> keyboardForms;
  std::function<void()> minimizeHandler;
  bool minimized = false;
  bool terminated = false;
};

State& state() {
  static State s;
  return s;
}

LRESULT CALLBACK AppWindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_MINIMIZE) {
    Application::Minimize();
    return 0;
  }
  if (message == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_RESTORE) {
    Application::Restore();
    return 0;
  }
  if (message == WM_CLOSE) {
    // The taskbar button's "Close window": closing the main form is the way
    // out, so whatever it does on the way (the tray icon) is done here too.
    Application::CloseMainForm();
    return 0;
  }
  return DefWindowProcA(hwnd, message, wParam, lParam);
}

}  // namespace

void Application::Initialize() {
  WNDCLASSEXA wc = {};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = AppWindowProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.hIcon = LoadIconA(wc.hInstance, MAKEINTRESOURCEA(1));
  wc.lpszClassName = "TApplication";
  RegisterClassExA(&wc);
  // Zero-sized and off every form: it exists for its taskbar button.
  state().handle = CreateWindowExA(0, "TApplication", state().title.c_str(),
                                   WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, 0, 0,
                                   nullptr, nullptr, wc.hInstance, nullptr);
}

void Application::SetTitle(const std::string& title) {
  state().title = title;
  if (state().handle) SetWindowTextA(state().handle, title.c_str());
}

const std::string& Application::Title() { return state().title; }
HWND Application::Handle() { return state().handle; }

void Application::AddForm(Window* form) { state().forms.push_back(form); }

void Application::FormVisibilityChanged() {
  const bool anyVisible = std::any_of(state().forms.begin(), state().forms.end(),
                                      [](Window* form) { return form->Visible(); });
  if (anyVisible != static_cast<bool>(IsWindowVisible(state().handle)))
    ShowWindow(state().handle, anyVisible ? SW_SHOWNA : SW_HIDE);
}

void Application::OnMinimize(std::function<void()> handler) {
  state().minimizeHandler = std::move(handler);
}

void Application::Minimize() {
  state().minimized = true;
  for (Window* form : state().forms) form->Hide();
  FormVisibilityChanged();
  if (state().minimizeHandler) state().minimizeHandler();
}

void Application::CloseMainForm() {
  if (state().forms.empty())
    Terminate();
  else
    SendMessageA(state().forms.front()->Handle(), WM_CLOSE, 0, 0);
}

void Application::Restore() {
  // Undoes a minimise of the application as a whole; otherwise nothing.
  if (!state().minimized) return;
  state().minimized = false;
  ShowWindow(state().handle, SW_RESTORE);
}

void Application::BringToFront() {
  HWND last = GetLastActivePopup(state().handle);
  for (Window* form : state().forms) {
    if (last == state().handle && form->Visible()) last = form->Handle();
  }
  if (last && IsWindowVisible(last) && IsWindowEnabled(last)) SetForegroundWindow(last);
}

void Application::UseDialogKeys(HWND form) { state().keyboardForms.push_back(form); }

namespace {
// The active window when it is a form that walks its controls by keyboard.
HWND ActiveKeyboardForm() {
  HWND active = GetActiveWindow();
  const auto& forms = state().keyboardForms;
  return active && std::find(forms.begin(), forms.end(), active) != forms.end() ? active : nullptr;
}

// Enter or Escape meant for a form's control that does not ask for it. No
// button of the program is bound to either key, and IsDialogMessage would
// press a focused button at Enter: such keys go nowhere.
bool UnboundDialogKey(const MSG& msg) {
  const bool key = msg.message == WM_KEYDOWN || msg.message == WM_KEYUP;
  const bool enterOrEscape =
      key ? msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE
          : msg.message == WM_CHAR && (msg.wParam == '\r' || msg.wParam == 27);
  if (!enterOrEscape) return false;
  // A dropped-down list takes them to close.
  MSG asked = msg;
  const LRESULT wants =
      SendMessageA(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&asked));
  return !(wants & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE));
}
}  // namespace

int Application::Run() {
  MSG msg;
  while (!state().terminated && GetMessageA(&msg, nullptr, 0, 0) > 0) {
    // Tab, Shift+Tab and the arrows move between the active form's controls.
    HWND form = ActiveKeyboardForm();
    if (form && (msg.hwnd == form || IsChild(form, msg.hwnd))) {
      if (UnboundDialogKey(msg) || IsDialogMessageA(form, &msg)) continue;
    }
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return 0;
}

void Application::AnswerSentMessages() {
  MSG msg;
  PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

void Application::Terminate() {
  state().terminated = true;
  PostQuitMessage(0);
}

}  // namespace vistrel
