#pragma once
#include <windows.h>

#include "toolkit/geometry.h"

namespace vistrel {

// Base of every window of the program. One static window procedure finds the
// object (stored at WM_NCCREATE from lpCreateParams) and calls OnMessage, up
// to and including WM_NCDESTROY. The procedure is also the error boundary: an
// exception leaving a handler is shown in the error box and the message gets
// its default answer, so no C++ exception ever crosses a Win32 frame.
class Window {
 public:
  Window() = default;
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;
  // A window still there is destroyed, but only the base's handling is left
  // by then: owners destroy their windows with Destroy() while whole.
  virtual ~Window();

  HWND Handle() const { return hwnd_; }
  bool Visible() const;
  virtual void Show();
  virtual void Hide();
  // Paints what is left to paint, its controls included, and puts it on the
  // screen now, rather than when the message loop next runs: for a window
  // shown before a long step.
  void PaintNow();
  Rect ScreenRect() const;
  void SetPosition(int left, int top);
  // Destroys the window; its handlers see WM_DESTROY and WM_NCDESTROY.
  void Destroy();

  // Registers a window class whose procedure is the shared thunk, once per
  // program; raises the system's error when it cannot.
  static void RegisterWindowClass(const char* className, HBRUSH background, HCURSOR cursor,
                                  UINT style = 0);

 protected:
  // Creates the window; WM_CREATE reaches OnMessage with Handle() already
  // set. Raises the system's error when no window could be made.
  void CreateWin(const char* className, const char* text, DWORD style, DWORD exStyle, int left,
                 int top, int width, int height, HWND parentOrOwner, HMENU idOrMenu = nullptr);
  virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  LRESULT Default(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  static LRESULT CALLBACK Thunk(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  HWND hwnd_ = nullptr;
};

}  // namespace vistrel
