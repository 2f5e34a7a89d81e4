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
  RegisterClass("VistrelClipboard", nullptr, nullptr);
  CreateWin("VistrelClipboard", "", 0, 0, 0, 0, 0, 0, HWND_MESSAGE);
}

bool CaptureClipboard::Open(DWORD patienceMs, bool raiseWhenBusy) {
  DWORD start = GetTickCount();
  while (!OpenClipboard(Handle())) {
    if (GetTickCount() - start >= patienceMs) {
      if (raiseWhenBusy) throw Error(messages::ClipboardCannotOpen());
      return false;
    }
    // The holder may be a reader waiting for this very thread to render.
    const unsigned before = renders_;
    AnswerSentMessages();
    if (renders_ != before) start = GetTickCount();
    Sleep(1);
  }
  return true;
}

void CaptureClipboard::Put(std::shared_ptr<const Picture> capture, ClipboardHistory history) {
  if (history == ClipboardHistory::Skip && !OpenClipboard(Handle())) {
    const DWORD now = GetTickCount();
    // Busy from the first capture held back; time spent rendering for a
    // reader meanwhile is not counted against it.
    if (!heldBack_ || renders_ != rendersWhenBusy_) {
      busySince_ = now;
      rendersWhenBusy_ = renders_;
    }
    if (now - busySince_ < kOpenPatienceMs) {
      heldBack_ = std::move(capture);
      return;
    }
    // This capture goes no further; the one held back, already recorded,
    // waits for the burst's end or the program's.
    heldBackReported_ = true;
    throw Error(messages::ClipboardCannotOpen());
  }
  // A newer capture than one held back: that one is no longer owed.
  heldBack_.reset();
  if (history != ClipboardHistory::Skip) Open(kOpenPatienceMs, true);
  heldBackReported_ = false;
  ClipboardCloser closer;
  Announce(std::move(capture), history);
}

bool CaptureClipboard::EndBurst() {
  if (heldBack_) {
    if (!Open(kOpenPatienceMs, false)) return heldBackReported_;
    ClipboardCloser closer;
    Announce(std::move(heldBack_), ClipboardHistory::Keep);
    heldBackReported_ = false;
    return true;
  }
  if (!marked_ || !Open(kOpenPatienceMs, false)) return true;
  ClipboardCloser closer;
  // Only if the clipboard still holds it: another program may have put
  // something of its own there since.
  if (GetClipboardOwner() == Handle()) Announce(marked_, ClipboardHistory::Keep);
  marked_.reset();
  return true;
}

// In an open clipboard.
void CaptureClipboard::Announce(std::shared_ptr<const Picture> capture, ClipboardHistory history) {
  // Ends the previous promise (WM_DESTROYCLIPBOARD when it was ours).
  EmptyClipboard();
  owed_.reset();
  marked_.reset();
  if (!capture || !capture->Bitmap()) return;
  owed_ = capture;
  SetClipboardData(CF_BITMAP, nullptr);
  if (history == ClipboardHistory::Skip) {
    Mark(excludeFormat_);
    Mark(historyFormat_);
    marked_ = std::move(capture);
  }
}

// Either mark is a DWORD 0: "not for the history".
void CaptureClipboard::Mark(UINT format) {
  if (!format) return;
  HGLOBAL value = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DWORD));
  if (value && !SetClipboardData(format, value)) GlobalFree(value);
}

void CaptureClipboard::Render() {
  if (!owed_ || !Open(kOpenPatienceMs, false)) return;
  ClipboardCloser closer;
  // Asking for one's own delayed format renders it (WM_RENDERFORMAT) and
  // stores it without a new change for readers.
  if (GetClipboardOwner() == Handle()) GetClipboardData(CF_BITMAP);
  owed_.reset();
}

void CaptureClipboard::RenderFor(UINT format) {
  if (format != CF_BITMAP || !owed_) return;
  // Gone with the promise when the bitmap cannot be made.
  std::shared_ptr<const Picture> owed = std::move(owed_);
  OwnedBitmap bitmap = DisplayBitmapOf(*owed);
  // The clipboard owns what it took.
  if (bitmap && SetClipboardData(CF_BITMAP, bitmap.get())) HandOver(bitmap, HandleKind::GdiObject);
  ++renders_;
}

void CaptureClipboard::PutHeldBackForGood() {
  // A burst's last capture that the clipboard, busy, never took: it would
  // be lost with the program, so it goes there now as the bitmap itself.
  if (!heldBack_ || !Open(kEndPatienceMs, false)) return;
  ClipboardCloser closer;
  EmptyClipboard();
  owed_ = std::move(heldBack_);
  RenderFor(CF_BITMAP);
  owed_.reset();
}

void CaptureClipboard::RenderAll() {
  // The owner is going away: render what is still owed, if the clipboard
  // still holds our promise.
  if (!owed_ || !Open(kEndPatienceMs, false)) return;
  ClipboardCloser closer;
  if (GetClipboardOwner() == Handle()) RenderFor(CF_BITMAP);
  owed_.reset();
}

LRESULT CaptureClipboard::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_RENDERFORMAT:
      RenderFor(static_cast<UINT>(wParam));
      return 0;
    case WM_RENDERALLFORMATS:
      RenderAll();
      return 0;
    case WM_DESTROYCLIPBOARD:
      owed_.reset();
      return 0;
    case WM_DESTROY:
      PutHeldBackForGood();
      break;
  }
  return Window::OnMessage(message, wParam, lParam);
}

}  // namespace vistrel
