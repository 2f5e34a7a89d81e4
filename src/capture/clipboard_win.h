#pragma once
#include <windows.h>

#include <cstdint>
#include <memory>

#include "capture/clipboard_plan.h"

#include "toolkit/picture_win.h"
#include "toolkit/window_win.h"

namespace vistrel {

// The captures' way onto the clipboard: the plan decides each step, this
// window carries it out through Windows. It is the clipboard's owner, a
// message-only window that the clipboard's requests reach (WM_RENDERFORMAT,
// WM_RENDERALLFORMATS, WM_DESTROYCLIPBOARD).
//
// A reader asking for the bitmap waits, the clipboard open, until the owner
// answers: the owner's thread must keep answering sent messages while it
// works, and does so here while it waits for the clipboard.
class CaptureClipboard : public Window, private ClipboardPort<std::shared_ptr<const Picture>> {
 public:
  void Create();

  // Replaces the clipboard's contents with the capture, as CF_BITMAP (a
  // 0 x 0 capture leaves it empty). Raises "Impossible d'ouvrir le
  // Presse-papiers" when another program keeps it from the press's capture.
  void Put(std::shared_ptr<const Picture> capture, CapturePlace place);
  // Makes the announced bitmap now, if it is still owed.
  void RenderNow() { plan_.RenderNow(ClipboardWait::Short); }
  // The end of a burst, or an idle tick.
  void EndBurst() { plan_.EndBurst(); }
  // The program's end: what the clipboard is still owed, within a few seconds.
  void End() { plan_.End(); }
  // The session ends: the same, within a second, unless a change of the
  // clipboard is under way (the call came inside it), which ends on its own.
  void EndSession();

 protected:
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  bool Open(ClipboardWait wait) override;
  void Close() override;
  void Announce(const std::shared_ptr<const Picture>& capture, bool marked) override;
  void Render(const std::shared_ptr<const Picture>& capture) override;
  void PutBitmap(const std::shared_ptr<const Picture>& capture) override;
  std::uint32_t Sequence() const override;

  void RenderFor(UINT format);
  void Mark(UINT format);

  ClipboardPlan<std::shared_ptr<const Picture>> plan_{*this};
  UINT excludeFormat_ = 0;
  UINT historyFormat_ = 0;
  unsigned renders_ = 0;
  bool open_ = false;
  bool sessionEnding_ = false;
};

}  // namespace vistrel
