#pragma once
#include <windows.h>

#include <memory>

#include "toolkit/picture_win.h"
#include "toolkit/window_win.h"

namespace vistrel {

// The captures' way onto the clipboard. A capture is announced at once with
// delayed rendering (one small request, where handing over the bitmap itself
// copies all of it into the window system); its bitmap is made from the
// capture's own pixels when a reader first asks for it, by Render() at the
// end of a burst, and when the owner window is destroyed (WM_RENDERALLFORMATS),
// so that the last capture stays on the clipboard after the program has gone.
//
// A reader asking for the bitmap waits, the clipboard open, until the owner
// answers: the owner's thread must keep answering sent messages while it
// works, and does so here while it waits for the clipboard.
enum class ClipboardBitmap { AtOnce, WhenAsked };

// Whether the clipboard's history and the clipboard managers may keep a
// capture. Inside a burst they are asked not to, with the formats they
// honour: the history keeps what the user took (the press's first capture,
// the burst's last) instead of every frame, and the burst is not slowed by
// the copies.
enum class ClipboardHistory { Keep, Skip };

// The clipboard's owner is a message-only window of its own, which the
// clipboard's requests reach (WM_RENDERFORMAT, WM_RENDERALLFORMATS,
// WM_DESTROYCLIPBOARD).
class CaptureClipboard : public Window {
 public:
  void Create();

  // Replaces the clipboard's contents with the capture, as CF_BITMAP. A
  // 0 x 0 capture leaves it empty. Raises "Impossible d'ouvrir le
  // Presse-papiers" when another program keeps it open. Inside a burst
  // (Skip) the capture does not wait while another program looks at the
  // last change (a history, a clipboard manager): it is held back, and the
  // next capture or the burst's end puts the newest there; the clipboard
  // busy for as long as one capture would wait is still the error.
  void Put(std::shared_ptr<const Picture> capture, ClipboardHistory history);
  // The end of a burst: its last capture goes on the clipboard without the
  // marks, for the history to keep. False when a capture held back could
  // not be put there (the clipboard stayed busy) and no error said so yet;
  // it is kept for the program's end. A marked one is quietly left marked.
  bool EndBurst();
  // Makes the announced bitmap now, if it is still owed; no change is
  // announced to readers. Quietly leaves it owed when the clipboard stays busy.
  void Render();

 protected:
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void RenderFor(UINT format);
  void RenderAll();
  void PutHeldBackForGood();
  bool Open(DWORD patienceMs, bool raiseWhenBusy);
  void Announce(std::shared_ptr<const Picture> capture, ClipboardHistory history);
  void Mark(UINT format);
  std::shared_ptr<const Picture> owed_;      // announced, not rendered yet
  std::shared_ptr<const Picture> marked_;    // on the clipboard with the marks
  std::shared_ptr<const Picture> heldBack_;  // of a burst, the clipboard busy
  DWORD busySince_ = 0;                      // with a capture held back
  unsigned rendersWhenBusy_ = 0;
  bool heldBackReported_ = false;  // by the error that ended its burst
  UINT excludeFormat_ = 0;
  UINT historyFormat_ = 0;
  unsigned renders_ = 0;
};

}  // namespace vistrel
