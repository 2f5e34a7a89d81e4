#pragma once
#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <functional>

#include "toolkit/geometry.h"
#include "toolkit/handles_win.h"
#include "toolkit/window_win.h"

namespace vistrel {

// A picture: either empty (no image at all) or an image of width x height
// pixels (either may be 0). The pixels are a 32-bit device-independent
// bitmap, bottom row first, exactly as a BMP file stores them: the writers
// read them in place, from any thread, while GDI draws and blits through
// Bitmap() on the GUI thread.
class Picture {
 public:
  Picture() = default;
  Picture(const Picture&) = delete;
  Picture& operator=(const Picture&) = delete;
  ~Picture() { Clear(); }

  static constexpr int kBitsPerPixel = 32;

  bool Empty() const { return !hasImage_; }
  int Width() const { return width_; }
  int Height() const { return height_; }
  // The bitmap; null when empty or when a side is 0.
  HBITMAP Bitmap() const { return bitmap_.get(); }
  // The pixel rows, bottom row first, 4 bytes each pixel (blue, green, red,
  // unused); null when there is no bitmap.
  const std::uint8_t* Bits() const { return bits_; }
  std::uint8_t* Bits() { return bits_; }
  std::size_t RowBytes() const { return static_cast<std::size_t>(width_) * 4; }
  std::size_t SizeBytes() const { return RowBytes() * static_cast<std::size_t>(height_); }

  // Releases the image: the picture becomes empty.
  void Clear();
  // Gives the picture an image of that size, every pixel white, so that what
  // a block copy cannot read stays white; negative sides count as 0. The
  // memory of an image of the same size is reused.
  void NewBitmap(int width, int height);
  // Makes this picture an independent copy of another.
  void CopyFrom(const Picture& other);
  // Gives the picture an image of the area's size holding what the screen
  // shows there (screen coordinates, the desktop window's device context).
  // Only the part that lies on the screen is read; the rest stays white.
  void CopyFromScreen(const Rect& area);

 private:
  // An image of that size, its memory reused when the size is the same;
  // its pixels as they were.
  void Allocate(int width, int height);
  void FillWhite();

  bool hasImage_ = false;
  int width_ = 0;
  int height_ = 0;
  OwnedBitmap bitmap_;
  std::uint8_t* bits_ = nullptr;
};

// The primary screen, from its top-left corner: what "the whole screen" is.
Rect PrimaryScreen();

// A memory device context with a picture's bitmap selected, for block copies
// into or out of it; restores and deletes on scope exit.
class PictureDC {
 public:
  explicit PictureDC(const Picture& picture);
  ~PictureDC();
  PictureDC(const PictureDC&) = delete;
  PictureDC& operator=(const PictureDC&) = delete;
  HDC Get() const { return dc_; }

 private:
  HDC dc_;
  HGDIOBJ previous_;
};

// A device context of a window (the desktop window for the whole screen),
// released on scope exit.
class WindowDC {
 public:
  explicit WindowDC(HWND hwnd) : hwnd_(hwnd), dc_(GetDC(hwnd)) {}
  ~WindowDC() { ReleaseDC(hwnd_, dc_); }
  WindowDC(const WindowDC&) = delete;
  WindowDC& operator=(const WindowDC&) = delete;
  HDC Get() const { return dc_; }

 private:
  HWND hwnd_;
  HDC dc_;
};

// A child window that draws a Picture and reports mouse events.
// Fit: scaled to the control with its proportions kept and centred.
// AtOwnSize: drawn 1:1 from the top-left corner.
class PictureControl : public Window {
 public:
  enum class Mode { Fit, AtOwnSize };
  struct MouseEvent {
    int button;   // 0 left, 1 right, 2 middle (down/up only)
    WPARAM keys;  // MK_* state at the event
    int x, y;     // in the control's coordinates
  };

  explicit PictureControl(Mode mode) : mode_(mode) {}
  void Create(HWND parent, int id, const RECT& rect, HCURSOR cursor);
  // The picture drawn (none: only the background); the caller keeps it alive
  // until the next call. Redraws the control.
  void SetPicture(const Picture* picture);
  // Redraws the control from the picture.
  void Refresh();

  std::function<void(const MouseEvent&)> onMouseDown;
  std::function<void(const MouseEvent&)> onMouseMove;
  std::function<void(const MouseEvent&)> onMouseUp;

 protected:
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void Paint(HDC dc);
  const Picture* picture_ = nullptr;
  Mode mode_;
  HCURSOR cursor_ = nullptr;
};

}  // namespace vistrel
