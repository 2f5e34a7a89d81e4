#include "toolkit/window_win.h"

#include <exception>

#include "toolkit/application_win.h"
#include "toolkit/error_display_win.h"
#include "toolkit/handles_win.h"
#include "toolkit/text_win.h"

namespace vistrel {

Window::~Window() {
  if (hwnd_) DestroyWindow(hwnd_);
}

void Window::Destroy() {
  if (hwnd_) DestroyWindow(hwnd_);
}

void Window::RegisterWindowClass(const char* className, HBRUSH background, HCURSOR cursor,
                                 UINT style) {
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  const std::wstring name = Wide(className);
  WNDCLASSEXW wc = {};
  wc.cbSize = sizeof wc;
  if (GetClassInfoExW(instance, name.c_str(), &wc)) return;
  wc.style = style;
  wc.lpfnWndProc = &Window::Thunk;
  wc.hInstance = instance;
  // Shared icons and cursors: the system keeps them.
  wc.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(1));
  wc.hCursor = cursor ? cursor : LoadCursorW(nullptr, IDC_ARROW);
  wc.hbrBackground = background;
  wc.lpszClassName = name.c_str();
  if (!RegisterClassExW(&wc)) RaiseLastError();
}

void Window::CreateWin(const char* className, const char* text, DWORD style, DWORD exStyle,
                       int left, int top, int width, int height, HWND parentOrOwner,
                       HMENU idOrMenu) {
  if (!CreateWindowExW(exStyle, Wide(className).c_str(), Wide(text).c_str(), style, left, top,
                       width, height, parentOrOwner, idOrMenu, GetModuleHandleW(nullptr), this))
    RaiseLastError();
}

bool Window::Visible() const { return hwnd_ && IsWindowVisible(hwnd_); }
void Window::Show() { ShowWindow(hwnd_, SW_SHOW); }
void Window::Hide() { ShowWindow(hwnd_, SW_HIDE); }

void Window::PaintNow() {
  RedrawWindow(hwnd_, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
  // Wine puts a window's drawing on the screen when its thread next looks at
  // its queue.
  AnswerSentMessages();
}

Rect Window::ScreenRect() const {
  RECT r = {};
  GetWindowRect(hwnd_, &r);
  return {r.left, r.top, r.right, r.bottom};
}

void Window::SetPosition(int left, int top) {
  SetWindowPos(hwnd_, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

LRESULT Window::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  return Default(message, wParam, lParam);
}

LRESULT Window::Default(UINT message, WPARAM wParam, LPARAM lParam) {
  return DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK Window::Thunk(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
    auto* self = static_cast<Window*>(create->lpCreateParams);
    self->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
  }
  auto* self = reinterpret_cast<Window*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
  if (!self) return DefWindowProcW(hwnd, message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    // The last message: the object lets go of the window after it.
    LRESULT result = 0;
    try {
      result = self->OnMessage(message, wParam, lParam);
    } catch (const std::exception& e) {
      ShowError(e.what());
    }
    SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    return result;
  }
  try {
    return self->OnMessage(message, wParam, lParam);
  } catch (const std::exception& e) {
    ShowError(e.what());
  }
  // The handler was cut short; the message still gets its default answer,
  // but for a close, whose default would destroy the window.
  return message == WM_CREATE || message == WM_CLOSE
             ? 0
             : DefWindowProcW(hwnd, message, wParam, lParam);
}

}  // namespace vistrel
