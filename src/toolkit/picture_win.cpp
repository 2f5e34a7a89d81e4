#include "toolkit/picture_win.h"

#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <optional>

#include "toolkit/error.h"
#include "toolkit/error_display_win.h"
#include "toolkit/picture_fit.h"
#include "toolkit/screen_part.h"

namespace vistrel {

void Picture::Clear() {
  bitmap_.reset();
  bits_ = nullptr;
  hasImage_ = false;
  width_ = height_ = 0;
}

void Picture::NewBitmap(int width, int height) {
  Allocate(width, height);
  FillWhite();
}

void Picture::Allocate(int width, int height) {
  width = std::max(width, 0);
  height = std::max(height, 0);
  hasImage_ = true;
  if (bitmap_ && width == width_ && height == height_) return;
  Clear();
  hasImage_ = true;
  width_ = width;
  height_ = height;
  if (width_ == 0 || height_ == 0) return;
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width_;
  info.bmiHeader.biHeight = height_;  // bottom-up, as BMP files store rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = kBitsPerPixel;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP made = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!made) {
    // No image rather than one that silently lacks its pixels.
    Clear();
    throw Error(SystemErrorText(ERROR_NOT_ENOUGH_MEMORY));
  }
  bitmap_ = OwnGdi(made);
  bits_ = static_cast<std::uint8_t*>(bits);
}

void Picture::FillWhite() {
  if (!bits_) return;
  // White, the unused fourth byte 0 as the platform leaves it.
  GdiFlush();
  std::fill_n(reinterpret_cast<std::uint32_t*>(bits_), SizeBytes() / 4, 0x00FFFFFFu);
}

void Picture::CopyFrom(const Picture& other) {
  if (other.Empty()) {
    Clear();
    return;
  }
  NewBitmap(other.Width(), other.Height());
  if (!bits_ || !other.Bits()) return;
  GdiFlush();
  std::memcpy(bits_, other.Bits(), SizeBytes());
}

void Picture::CopyFromScreen(const Rect& area) {
  // A copy reaching past the screen's edges brings nothing from there, and
  // under Wine not even the part that is on it: only that part is read.
  const int left = GetSystemMetrics(SM_XVIRTUALSCREEN), top = GetSystemMetrics(SM_YVIRTUALSCREEN);
  const Rect screen{left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                    top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
  const std::optional<ScreenPart> part = ReadablePart(area, screen);
  Allocate(area.Width(), area.Height());
  // White where the copy will not reach; a copy of the whole area leaves no
  // pixel as it was.
  const bool whole = part && part->source == area;
  if (!whole) FillWhite();
  if (!bitmap_ || !part) return;
  BOOL copied;
  {
    WindowDC from(GetDesktopWindow());
    PictureDC to(*this);
    copied =
        BitBlt(to.Get(), part->destination.x, part->destination.y, part->source.Width(),
               part->source.Height(), from.Get(), part->source.left, part->source.top, SRCCOPY);
  }
  if (!copied && whole) FillWhite();
  // The pixels are read straight from memory, perhaps on another thread.
  GdiFlush();
}

Rect PrimaryScreen() {
  return {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

PictureDC::PictureDC(const Picture& picture)
    : dc_(CreateCompatibleDC(nullptr)), previous_(nullptr) {
  if (picture.Bitmap()) previous_ = SelectObject(dc_, picture.Bitmap());
}

PictureDC::~PictureDC() {
  if (previous_) SelectObject(dc_, previous_);
  DeleteDC(dc_);
}

void PictureControl::Create(HWND parent, int id, const RECT& rect, HCURSOR cursor) {
  RegisterWindowClass("TImage", nullptr, nullptr);
  cursor_ = cursor;
  CreateWin("TImage", "", WS_CHILD | WS_VISIBLE, 0, rect.left, rect.top, rect.right - rect.left,
            rect.bottom - rect.top, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)));
}

void PictureControl::SetPicture(const Picture* picture) {
  picture_ = picture;
  Refresh();
}

void PictureControl::Refresh() { InvalidateRect(Handle(), nullptr, TRUE); }

void PictureControl::Paint(HDC dc) {
  RECT client;
  GetClientRect(Handle(), &client);
  if (!picture_ || !picture_->Bitmap()) return;
  PictureDC source(*picture_);
  if (mode_ == Mode::AtOwnSize) {
    BitBlt(dc, 0, 0, picture_->Width(), picture_->Height(), source.Get(), 0, 0, SRCCOPY);
    return;
  }
  const Rect fit = FitPicture(picture_->Width(), picture_->Height(), client.right, client.bottom);
  SetStretchBltMode(dc, HALFTONE);
  SetBrushOrgEx(dc, 0, 0, nullptr);
  StretchBlt(dc, fit.left, fit.top, fit.Width(), fit.Height(), source.Get(), 0, 0,
             picture_->Width(), picture_->Height(), SRCCOPY);
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
      HBRUSH brush =
          reinterpret_cast<HBRUSH>(GetClassLongPtrW(GetParent(Handle()), GCLP_HBRBACKGROUND));
      FillRect(reinterpret_cast<HDC>(wParam), &client,
               brush ? brush : static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
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
