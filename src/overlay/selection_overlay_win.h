#pragma once
#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>

#include "overlay/selection.h"
#include "toolkit/form_win.h"
#include "toolkit/picture_win.h"

namespace vistrel {

// What the overlay asks of the program.
struct OverlayEvents {
  // The overlay came on screen, or a button went down on it: the preview
  // window goes above it. The overlay stays the active window, so that
  // Alt+F4 after a drag backs out of the frozen screen.
  std::function<void()> onRaisePreview;
  // A selection was released: its capture, for the preview and the clipboard.
  std::function<void(std::shared_ptr<const Picture>)> onSelected;
  // The gap between a selection and its frame, read at every press.
  std::function<std::uint8_t()> readMargin;
};

// The full-screen selection overlay (window class "TForm4"): a frozen copy
// of the screen, shown pixel for pixel, on which a rectangle is dragged out
// as a white frame and captured from the screen at its release.
class SelectionOverlay : public Form {
 public:
  SelectionOverlay();
  void Create(Application& app, OverlayEvents events);
  // Covers the primary screen with the frozen screen and activates, once the
  // handler that asked for it has run to its end.
  void Show() override;
  void Hide() override;

  // Copies the primary screen into the frozen picture.
  void FreezeScreen();
  // Lets the frozen picture go.
  void ClearFrozenScreen() { frozenScreen_.Clear(); }

 protected:
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void OnPress(const PictureControl::MouseEvent& event);
  void OnMove(const PictureControl::MouseEvent& event);
  void OnRelease();
  void TakeFrameFreeCopy();
  void ShowNow();
  void TakeKeyboard();
  void EraseFrame();
  void DrawFrame();
  void Repaint(const Rect& area);

  OverlayEvents events_;
  PictureControl pictureControl_;
  Picture frozenScreen_;   // what the overlay shows, frame included
  Picture frameFreeCopy_;  // the frozen screen without any frame, to erase it
  SelectionState selection_;
  bool showPending_ = false;
  int keyboardTries_ = 0;
};

}  // namespace vistrel
