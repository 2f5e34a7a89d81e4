#pragma once
#include <windows.h>

#include <functional>

#include "toolkit/layout.h"
#include "toolkit/window_win.h"

namespace vistrel {

// A one-line text label that reports the mouse moving over it, leaving it
// and clicking it; its owner recolours and underlines it in answer.
class LinkLabel : public Window {
 public:
  LinkLabel() = default;
  ~LinkLabel() override;
  void Create(HWND parent, int id, const RECT& rect, const char* text, const FontStyle& font,
              COLORREF colour);

  void SetColour(COLORREF colour);
  void SetUnderline(bool underline);
  COLORREF Colour() const { return colour_; }
  bool Underlined() const { return underline_; }

  std::function<void()> onMouseMove;
  std::function<void()> onMouseLeave;
  std::function<void()> onClick;

 protected:
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void Paint(HDC dc);
  HFONT plain_ = nullptr;
  HFONT underlined_ = nullptr;
  COLORREF colour_ = 0;
  bool underline_ = false;
  bool tracking_ = false;
  bool pressed_ = false;
};

}  // namespace vistrel
