#include "capture/clipboard_win.h"

#include "toolkit/application_win.h"
#include "toolkit/error.h"
#include "toolkit/messages.h"

namespace vistrel {

namespace {

// Clipboard viewers open the clipboard for a moment at every change: an open
// is retried for a short while before the clipboard counts as held by
// another program. Time spent rendering for a reader meanwhile is not
// counted against it.
constexpr DWORD kOpenPatienceMs = 250;
// At the program's end the last capture would be lost for good: it waits
// longer for another program to let go of the clipboard.
constexpr DWORD kEndPatienceMs = 5000;
// At the session's end the system gives a program a few seconds in all.
constexpr DWORD kSessionEndPatienceMs = 1000;

class ClipboardCloser {
 public:
  ~ClipboardCloser() { CloseClipboard(); }
};

// A bitmap of the clipboard's own, compatible with the display, as readers
// have always been given: other programs receive its pixels through the
// window system, which a DIB section cannot pass between processes.
// None when the system has no room for it: a reader then finds no image,
// and no box interrupts the request it is waiting on.
OwnedBitmap DisplayBitmapOf(const Picture& picture) {
  WindowDC screen(nullptr);
  HBITMAP made = CreateCompatibleBitmap(screen.Get(), picture.Width(), picture.Height());
  if (!made) return {};
  OwnedBitmap bitmap = OwnGdi(made);
  BITMAPINFO info = {};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = picture.Width();
  info.bmiHeader.biHeight = picture.Height();
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = Picture::kBitsPerPixel;
  info.bmiHeader.biCompression = BI_RGB;
  SetDIBits(screen.Get(), bitmap.get(), 0, static_cast<UINT>(picture.Height()), picture.Bits(),
            &info, DIB_RGB_COLORS);
  return bitmap;
}

}  // namespace

void CaptureClipboard::Create() {
  // The formats by which the Windows 10 clipboard history and the clipboard
  // managers that follow it leave a content alone.
  excludeFormat_ = RegisterClipboardFormatW(L"ExcludeClipboardContentFromMonitorProcessing");
  historyFormat_ = RegisterClipboardFormatW(L"CanIncludeInClipboardHistory");
  RegisterWindowClass("VistrelClipboard", nullptr, nullptr);
  CreateWin("VistrelClipboard", "", 0, 0, 0, 0, 0, 0, HWND_MESSAGE);
}

bool CaptureClipboard::Open(ClipboardWait wait) {
  open_ = OpenClipboard(Handle());
  if (open_ || wait == ClipboardWait::None) return open_;
  const DWORD patience = wait != ClipboardWait::AtEnd ? kOpenPatienceMs
                         : sessionEnding_             ? kSessionEndPatienceMs
                                                      : kEndPatienceMs;
  DWORD start = GetTickCount();
  while (!OpenClipboard(Handle())) {
    if (GetTickCount() - start >= patience) return false;
    // The holder may be a reader waiting for this very thread to render.
    const unsigned before = renders_;
    AnswerSentMessages();
    if (renders_ != before) start = GetTickCount();
    Sleep(1);
  }
  open_ = true;
  return true;
}

void CaptureClipboard::Close() {
  open_ = false;
  CloseClipboard();
}

void CaptureClipboard::EndSession() {
  sessionEnding_ = true;
  if (!open_) plan_.End();
}

std::uint32_t CaptureClipboard::Sequence() const { return GetClipboardSequenceNumber(); }

void CaptureClipboard::Put(std::shared_ptr<const Picture> capture, CapturePlace place) {
  if (!plan_.Put(std::move(capture), place)) throw Error(messages::ClipboardCannotOpen());
}

void CaptureClipboard::Announce(const std::shared_ptr<const Picture>& capture, bool marked) {
  // Ends the previous promise (WM_DESTROYCLIPBOARD when it was ours).
  EmptyClipboard();
  if (!capture || !capture->Bitmap()) return;
  SetClipboardData(CF_BITMAP, nullptr);
  if (marked) {
    Mark(excludeFormat_);
    Mark(historyFormat_);
  }
}

// Either mark is a DWORD 0: "not for the history".
void CaptureClipboard::Mark(UINT format) {
  if (!format) return;
  HGLOBAL value = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DWORD));
  if (value && !SetClipboardData(format, value)) GlobalFree(value);
}

void CaptureClipboard::Render(const std::shared_ptr<const Picture>&) {
  // Asking for one's own delayed format renders it (WM_RENDERFORMAT) and
  // stores it without a new change for readers.
  if (GetClipboardOwner() == Handle()) GetClipboardData(CF_BITMAP);
}

void CaptureClipboard::PutBitmap(const std::shared_ptr<const Picture>& capture) {
  EmptyClipboard();
  if (!capture || !capture->Bitmap()) return;
  // The clipboard owns what it took.
  if (OwnedBitmap bitmap = DisplayBitmapOf(*capture);
      bitmap && SetClipboardData(CF_BITMAP, bitmap.get()))
    HandOver(bitmap, HandleKind::GdiObject);
}

void CaptureClipboard::RenderFor(UINT format) {
  const std::shared_ptr<const Picture> owed = plan_.Owed();
  if (format != CF_BITMAP || !owed) return;
  // Gone with the promise when the bitmap cannot be made.
  OwnedBitmap bitmap = DisplayBitmapOf(*owed);
  if (bitmap && SetClipboardData(CF_BITMAP, bitmap.get())) HandOver(bitmap, HandleKind::GdiObject);
  plan_.Rendered();
  ++renders_;
}

LRESULT CaptureClipboard::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_RENDERFORMAT:
      RenderFor(static_cast<UINT>(wParam));
      return 0;
    case WM_RENDERALLFORMATS:
      // The owner is going away without End(): what is still owed, now.
      plan_.End();
      return 0;
    case WM_DESTROYCLIPBOARD:
      plan_.Emptied();
      return 0;
  }
  return Window::OnMessage(message, wParam, lParam);
}

}  // namespace vistrel
