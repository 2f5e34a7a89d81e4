#include "capture/clipboard_win.h"

#include <windows.h>

#include <vector>

#include "app/preview_window_win.h"
#include "toolkit/error.h"
#include "toolkit/messages.h"
#include "toolkit/picture_win.h"

namespace vistrel {

namespace {

// Clipboard viewers open the clipboard for a moment at every change, right
// between emptying it and filling it: an open is retried for a short while
// before the clipboard counts as held by another program.
constexpr DWORD kOpenPatienceMs = 250;

// Open for the length of one scope; the clipboard is closed on every way out.
class OpenedClipboard {
 public:
  explicit OpenedClipboard(HWND owner) {
    const DWORD start = GetTickCount();
    while (!OpenClipboard(owner)) {
      if (GetTickCount() - start >= kOpenPatienceMs) throw Error(messages::ClipboardCannotOpen());
      Sleep(5);
    }
  }
  ~OpenedClipboard() { CloseClipboard(); }
  OpenedClipboard(const OpenedClipboard&) = delete;
  OpenedClipboard& operator=(const OpenedClipboard&) = delete;
};

// A bitmap of the clipboard's own, so later captures leave it alone.
HBITMAP CopyOfBitmap(const Picture& picture) {
  HDC screen = GetDC(nullptr);
  HBITMAP copy = CreateCompatibleBitmap(screen, picture.Width(), picture.Height());
  ReleaseDC(nullptr, screen);
  if (!copy) return nullptr;
  PictureDC from(picture);
  HDC to = CreateCompatibleDC(nullptr);
  HGDIOBJ previous = SelectObject(to, copy);
  BitBlt(to, 0, 0, picture.Width(), picture.Height(), from.Get(), 0, 0, SRCCOPY);
  SelectObject(to, previous);
  DeleteDC(to);
  return copy;
}

// A bitmap of 8 bits or fewer per pixel draws through the system palette; the
// clipboard gets a copy of it beside the bitmap.
HPALETTE CopyOfPalette(HBITMAP bitmap) {
  BITMAP info = {};
  GetObjectA(bitmap, sizeof info, &info);
  if (info.bmBitsPixel == 0 || info.bmBitsPixel > 8) return nullptr;
  const int entries = 1 << info.bmBitsPixel;
  std::vector<BYTE> buffer(sizeof(LOGPALETTE) + entries * sizeof(PALETTEENTRY));
  auto* palette = reinterpret_cast<LOGPALETTE*>(buffer.data());
  palette->palVersion = 0x300;
  palette->palNumEntries = static_cast<WORD>(entries);
  HDC screen = GetDC(nullptr);
  GetSystemPaletteEntries(screen, 0, entries, palette->palPalEntry);
  ReleaseDC(nullptr, screen);
  return CreatePalette(palette);
}

}  // namespace

void CopyPreviewToClipboard() {
  const Picture& picture = Form1->PreviewPicture;
  HWND owner = Form1->Handle();
  {
    OpenedClipboard clipboard(owner);
    EmptyClipboard();
  }
  OpenedClipboard clipboard(owner);
  // A 0 x 0 capture (no foreground window) has no bitmap: the clipboard stays
  // empty rather than being promised data that never comes.
  if (!picture.Bitmap()) return;
  HBITMAP bitmap = CopyOfBitmap(picture);
  if (!bitmap) return;
  HPALETTE palette = CopyOfPalette(bitmap);
  if (!SetClipboardData(CF_BITMAP, bitmap)) DeleteObject(bitmap);
  if (palette && !SetClipboardData(CF_PALETTE, palette)) DeleteObject(palette);
}

}  // namespace vistrel
