#include "about/link_label_win.h"

#include <string>

#include "toolkit/form_win.h"

namespace vistrel {

void LinkLabel::Create(HWND parent, int id, const RECT& rect, const char* text,
                       COLORREF restingColour, COLORREF hoverColour) {
  RegisterWindowClass("TLinkLabel", nullptr, CursorFor(CursorKind::Hand));
  resting_ = colour_ = restingColour;
  hover_ = hoverColour;
  CreateWin("TLinkLabel", text, WS_CHILD | WS_VISIBLE, 0, rect.left, rect.top,
            rect.right - rect.left, rect.bottom - rect.top, parent,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)));
}

void LinkLabel::SetFont(const FontStyle& font, int dpi) {
  plain_ = CreateStyledFont(font, dpi, false);
  underlined_ = CreateStyledFont(font, dpi, true);
  InvalidateRect(Handle(), nullptr, TRUE);
}

void LinkLabel::SetLook(COLORREF colour, bool underline) {
  if (colour == colour_ && underline == underline_) return;
  colour_ = colour;
  underline_ = underline;
  InvalidateRect(Handle(), nullptr, TRUE);
}

void LinkLabel::Paint(HDC dc) {
  RECT r;
  GetClientRect(Handle(), &r);
  FillRect(dc, &r, GetSysColorBrush(COLOR_BTNFACE));
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(Handle())) + 1, L'\0');
  text.resize(
      static_cast<size_t>(GetWindowTextW(Handle(), text.data(), static_cast<int>(text.size()))));
  HGDIOBJ previous = SelectObject(dc, underline_ ? underlined_.get() : plain_.get());
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, colour_);
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r,
            DT_LEFT | DT_TOP | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(dc, previous);
}

LRESULT LinkLabel::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_ERASEBKGND:
      return 1;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(Handle(), &ps);
      Paint(dc);
      EndPaint(Handle(), &ps);
      return 0;
    }
    case WM_MOUSEMOVE:
      // The leave notice must be asked for again after each leave.
      if (!tracking_) {
        TRACKMOUSEEVENT track = {sizeof track, TME_LEAVE, Handle(), 0};
        tracking_ = TrackMouseEvent(&track) != FALSE;
      }
      SetLook(hover_, true);
      return 0;
    case WM_MOUSELEAVE:
      tracking_ = false;
      SetLook(resting_, false);
      return 0;
    case WM_LBUTTONDOWN:
      pressed_ = true;
      SetCapture(Handle());
      return 0;
    case WM_LBUTTONUP: {
      const bool wasPressed = pressed_;
      pressed_ = false;
      if (GetCapture() == Handle()) ReleaseCapture();
      RECT r;
      GetClientRect(Handle(), &r);
      const POINT at = {static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))};
      if (wasPressed && PtInRect(&r, at) && onClick) onClick();
      return 0;
    }
    case WM_CAPTURECHANGED:
      pressed_ = false;
      return 0;
  }
  return Window::OnMessage(message, wParam, lParam);
}

}  // namespace vistrel
