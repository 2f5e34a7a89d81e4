#include "toolkit/application_win.h"

#include <algorithm>
#include <utility>

#include "toolkit/text_win.h"

namespace vistrel {

namespace {
constexpr char kClassName[] = "TApplication";
}  // namespace

MessageFilter SystemMessageFilter() {
  return reinterpret_cast<MessageFilter>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"user32.dll"), "ChangeWindowMessageFilterEx")));
}

void LetThroughFromLowerIntegrity(HWND window, UINT message, MessageFilter filter) {
  if (filter && window && message) filter(window, message, MSGFLT_ALLOW, nullptr);
}

Application::Application(std::string title, MessageFilter filter)
    : title_(std::move(title)), filter_(filter) {
  window_.Create(title_);
}

void Application::HiddenWindow::Create(const std::string& title) {
  RegisterWindowClass(kClassName, nullptr, nullptr);
  // Zero-sized and off every form: it exists for its taskbar button.
  CreateWin(kClassName, title.c_str(), WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 0, 0, 0,
            0, 0, nullptr);
}

LRESULT Application::HiddenWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SYSCOMMAND:
      if ((wParam & 0xFFF0) == SC_MINIMIZE) {
        app_.Minimize();
        return 0;
      }
      if ((wParam & 0xFFF0) == SC_RESTORE) {
        app_.Restore();
        return 0;
      }
      break;
    case WM_CLOSE:
      // The taskbar button's "Close window": closing the main form is the way
      // out, so whatever it does on the way (the tray icon) is done here too.
      app_.CloseMainForm();
      return 0;
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      if (wParam && app_.sessionEndHandler_) std::exchange(app_.sessionEndHandler_, nullptr)();
      return 0;
  }
  if (app_.AnswerBroadcast(message, wParam)) return 0;
  return Window::OnMessage(message, wParam, lParam);
}

void Application::AddForm(Window* form) { forms_.push_back(form); }

void Application::FormVisibilityChanged() {
  const bool anyVisible =
      std::any_of(forms_.begin(), forms_.end(), [](Window* form) { return form->Visible(); });
  if (anyVisible != static_cast<bool>(IsWindowVisible(Handle())))
    ShowWindow(Handle(), anyVisible ? SW_SHOWNA : SW_HIDE);
}

void Application::OnMinimize(std::function<void()> handler) {
  minimizeHandler_ = std::move(handler);
}

void Application::OnSessionEnd(std::function<void()> handler) {
  sessionEndHandler_ = std::move(handler);
}

void Application::OnBroadcast(const char* name, std::function<void(WPARAM)> handler) {
  const UINT message = RegisterWindowMessageW(Wide(name).c_str());
  // Running elevated, the program still hears the shell and a second start.
  LetThroughFromLowerIntegrity(Handle(), message, filter_);
  broadcasts_.emplace_back(message, std::move(handler));
}

bool Application::AnswerBroadcast(UINT message, WPARAM wParam) {
  // Registered messages lie above 0xC000; zero is a failed registration.
  if (message < 0xC000) return false;
  for (const auto& [registered, handler] : broadcasts_) {
    if (registered == message) {
      handler(wParam);
      return true;
    }
  }
  return false;
}

void Application::Minimize() {
  minimized_ = true;
  for (Window* form : forms_) {
    if (!form->Visible()) continue;
    hiddenByMinimize_.push_back(form);
    form->Hide();
  }
  FormVisibilityChanged();
  if (minimizeHandler_) minimizeHandler_();
}

void Application::CloseMainForm() {
  if (forms_.empty())
    Terminate();
  else
    SendMessageW(forms_.front()->Handle(), WM_CLOSE, 0, 0);
}

void Application::Restore() {
  if (!minimized_) return;
  minimized_ = false;
  // Where they were, as they were: the forms are shown again, not reopened.
  for (Window* form : hiddenByMinimize_)
    if (!form->Visible()) ShowWindow(form->Handle(), SW_SHOWNA);
  hiddenByMinimize_.clear();
  FormVisibilityChanged();
  ShowWindow(Handle(), SW_RESTORE);
  BringToFront();
}

void Application::BringToFront() {
  HWND last = GetLastActivePopup(Handle());
  for (Window* form : forms_) {
    if (last == Handle() && form->Visible()) last = form->Handle();
  }
  if (last && IsWindowVisible(last) && IsWindowEnabled(last)) SetForegroundWindow(last);
}

void Application::UseDialogKeys(HWND form) { keyboardForms_.push_back(form); }

// The active window when it is a form that walks its controls by keyboard.
HWND Application::ActiveKeyboardForm() const {
  HWND active = GetActiveWindow();
  return active && std::find(keyboardForms_.begin(), keyboardForms_.end(), active) !=
                       keyboardForms_.end()
             ? active
             : nullptr;
}

namespace {
// Enter or Escape meant for a form's control that does not ask for it. No
// button of the program is bound to either key, and IsDialogMessage would
// press a focused button at Enter: such keys go nowhere.
bool UnboundDialogKey(const MSG& msg) {
  constexpr WPARAM kEnterChar = '\r', kEscapeChar = 0x1B;
  const bool key = msg.message == WM_KEYDOWN || msg.message == WM_KEYUP;
  const bool enterOrEscape =
      key ? msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE
          : msg.message == WM_CHAR && (msg.wParam == kEnterChar || msg.wParam == kEscapeChar);
  if (!enterOrEscape) return false;
  // A dropped-down list takes them to close.
  MSG asked = msg;
  const LRESULT wants =
      SendMessageW(msg.hwnd, WM_GETDLGCODE, msg.wParam, reinterpret_cast<LPARAM>(&asked));
  return !(wants & (DLGC_WANTALLKEYS | DLGC_WANTMESSAGE));
}
}  // namespace

int Application::Run() {
  MSG msg;
  while (!terminated_ && GetMessageW(&msg, nullptr, 0, 0) > 0) {
    // Tab, Shift+Tab and the arrows move between the active form's controls.
    HWND form = ActiveKeyboardForm();
    if (form && (msg.hwnd == form || IsChild(form, msg.hwnd))) {
      if (UnboundDialogKey(msg) || IsDialogMessageW(form, &msg)) continue;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  return 0;
}

void Application::Terminate() {
  terminated_ = true;
  PostQuitMessage(0);
}

void AnswerSentMessages() {
  MSG msg;
  PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

}  // namespace vistrel
