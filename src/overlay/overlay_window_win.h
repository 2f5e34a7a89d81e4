#pragma once
#include <windows.h>

#include "overlay/selection.h"
#include "toolkit/form_win.h"
#include "toolkit/picture_win.h"

namespace vistrel {

// The full-screen selection overlay: a frozen copy of the screen on which a
// rectangle is dragged out and captured.
class TForm4 : public Form {
 public:
  TForm4();
  void Create();
  // Covers the primary screen with the current OverlayPicture and activates,
  // once the handler that asked for it has run to its end.
  void Show() override;
  void Hide() override;

  Picture OverlayPicture;

 protected:
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void Image2MouseDown(const PictureControl::MouseEvent& event);
  void Image2MouseMove(const PictureControl::MouseEvent& event);
  void FormCreate();
  void Image2MouseUp(const PictureControl::MouseEvent& event);

  void ShowNow();
  void EraseFrame();
  void DrawFrame();
  void Repaint(const Rect& area);

  PictureControl Image2;
  Picture SavedScreen;  // OverlayPicture without any frame, to erase it
  SelectionState selection_;
  bool showPending_ = false;
};

extern TForm4* Form4;

}  // namespace vistrel
