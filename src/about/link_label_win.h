#pragma once
#include <windows.h>

#include <functional>

#include "toolkit/handles_win.h"
#include "toolkit/layout.h"
#include "toolkit/window_win.h"

namespace vistrel {

// A one-line text link: in its resting colour, plain; under the mouse in its
// hover colour, underlined (set again at every move over it); a click on it
// runs onClick.
class LinkLabel : public Window {
 public:
  void Create(HWND parent, int id, const RECT& rect, const char* text, COLORREF restingColour,
              COLORREF hoverColour);
  // The font, plain and underlined, at that DPI.
  void SetFont(const FontStyle& font, int dpi);

  std::function<void()> onClick;

 protected:
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void SetLook(COLORREF colour, bool underline);
  void Paint(HDC dc);
  OwnedFont plain_;
  OwnedFont underlined_;
  COLORREF resting_ = 0;
  COLORREF hover_ = 0;
  COLORREF colour_ = 0;
  bool underline_ = false;
  bool tracking_ = false;
  bool pressed_ = false;
};

}  // namespace vistrel
