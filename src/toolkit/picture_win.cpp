#include "toolkit/picture_win.h"

#include <windowsx.h>

#include <algorithm>

#include "toolkit/picture_fit.h"

namespace vistrel {

void Picture::Clear() {
  if (bitmap_) DeleteObject(bitmap_);
  bitmap_ = nullptr;
  hasImage_ = false;
  width_ = height_ = 0;
}

void Picture::NewBitmap(int width, int height) {
  Clear();
  hasImage_ = true;
  width_ = std::max(width, 0);
  height_ = std::max(height, 0);
  if (width_ > 0 && height_ > 0) {
    HDC screen = GetDC(nullptr);
    bitmap_ = CreateCompatibleBitmap(screen, width_, height_);
    ReleaseDC(nullptr, screen);
  }
}

void Picture::CopyFrom(const Picture& other) {
  if (other.Empty()) {
    Clear();
    return;
  }
  NewBitmap(other.Width(), other.Height());
  if (!bitmap_) return;
  PictureDC from(other), to(*this);
  BitBlt(to.Get(), 0, 0, width_, height_, from.Get(), 0, 0, SRCCOPY);
}

PictureDC::PictureDC(const Picture& picture) : dc_(CreateCompatibleDC(nullptr)), previous_(nullptr) {
  if (picture.Bitmap()) previous_ = SelectObject(dc_, picture.Bitmap());
}

PictureDC::~PictureDC() {
  if (previous_) SelectObject(dc_, previous_);
  DeleteDC(dc_);
}

void PictureControl::Create(HWND parent, int id, const RECT& rect, HCURSOR cursor) {
  static bool registered = false;
  if (!registered) {
    RegisterClass("TImage", nullptr, nullptr);
    registered = true;
  }
  cursor_ = cursor;
  CreateWin("TImage", "", WS_CHILD | WS_VISIBLE, 0, rect.left, rect.top, rect.right - rect.left,
            rect.bottom - rect.top, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)));
}

void PictureControl::Refresh() { InvalidateRect(Handle(), nullptr, TRUE); }

void PictureControl::Paint(HDC dc) {
  RECT client;
  GetClientRect(Handle(), &client);
  if (!picture_.Bitmap()) return;
  PictureDC source(picture_);
  if (mode_ == Mode::AtOwnSize) {
    BitBlt(dc, 0, 0, picture_.Width(), picture_.Height(), source.Get(), 0, 0, SRCCOPY);
    return;
  }
  const Rect fit = FitPicture(picture_.Width(), picture_.Height(), client.right, client.bottom);
  SetStretchBltMode(dc, HALFTONE);
  SetBrushOrgEx(dc, 0, 0, nullptr);
  StretchBlt(dc, fit.left, fit.top, fit.Width(), fit.Height(), source.Get(), 0, 0,
             picture_.Width(), picture_.Height(), SRCCOPY);
}

LRESULT PictureControl::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  auto event = [&](int button) {
    return MouseEvent{button, wParam, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
  };
  switch (message) {
    case WM_PAINT: {
      PAINTSTRUCT ps;
      HDC dc = BeginPaint(Handle(), &ps);
      Paint(dc);
      EndPaint(Handle(), &ps);
      return 0;
    }
    case WM_ERASEBKGND: {
      // The parent's background (black for the preview) shows around the picture.
      RECT client;
      GetClientRect(Handle(), &client);
      HBRUSH brush = reinterpret_cast<HBRUSH>(GetClassLongPtrA(GetParent(Handle()), GCLP_HBRBACKGROUND));
      FillRect(reinterpret_cast<HDC>(wParam), &client, brush ? brush : static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
      return 1;
    }
    case WM_SETCURSOR:
      if (cursor_ && LOWORD(lParam) == HTCLIENT) {
        SetCursor(cursor_);
        return TRUE;
      }
      break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: {
      SetCapture(Handle());
      const int button = message == WM_LBUTTONDOWN ? 0 : message == WM_RBUTTONDOWN ? 1 : 2;
      if (onMouseDown) onMouseDown(event(button));
      return 0;
    }
    case WM_MOUSEMOVE:
      if (onMouseMove) onMouseMove(event(0));
      return 0;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: {
      if (!(wParam & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON))) ReleaseCapture();
      const int button = message == WM_LBUTTONUP ? 0 : message == WM_RBUTTONUP ? 1 : 2;
      if (onMouseUp) onMouseUp(event(button));
      return 0;
    }
  }
  return Default(message, wParam, lParam);
}

}  // namespace vistrel
