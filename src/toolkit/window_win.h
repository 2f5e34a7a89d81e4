#pragma once
#include <windows.h>

#include "toolkit/geometry.h"

namespace vistrel {

// Base of every window of the program. One static window procedure finds the
// object (stored at WM_NCCREATE from lpCreateParams) and calls OnMessage.
// The procedure is also the error boundary: an exception leaving a handler is
// shown in the error box and the message gets its default answer, so no C++
// exception ever crosses a Win32 frame.
class Window {
 public:
  Window() = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  virtual ~Window();

  HWND Handle() const { return hwnd_; }
  bool Visible() const;
  virtual void Show();
  virtual void Hide();
  Rect ScreenRect() const;
  void SetPosition(int left, int top);

  // Registers a window class whose procedure is the shared thunk.
  static void RegisterClass(const char* className, HBRUSH background, HCURSOR cursor,
                            UINT style = 0);

 protected:
  // Creates the window; WM_CREATE reaches OnMessage with Handle() already set.
  void CreateWin(const char* className, const char* text, DWORD style, DWORD exStyle, int left,
                 int top, int width, int height, HWND parentOrOwner, HMENU idOrMenu = nullptr);
  virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT CALLBACK Thunk(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  HWND hwnd_ = nullptr;
};

// Runs fn inside the error boundary; for code reached outside a window
// procedure (start-up).
template <typename Fn>
void Guarded(Fn&& fn);

}  // namespace vistrel

#include "toolkit/error_display_win.h"

template <typename Fn>
void vistrel::Guarded(Fn&& fn) {
  try {
    fn();
  } catch (const std::exception& e) {
    ShowError(e.what());
  }
}
