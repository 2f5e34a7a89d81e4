#pragma once
#include <windows.h>

#include "about/link_label_win.h"
#include "toolkit/form_win.h"

namespace vistrel {

// The about window: name, version, dedication and two links.
class TForm3 : public Form {
 public:
  void Create();
  // Opens the window centred on the screen.
  void Show() override;

  void URLMouseMove();
  void URLMouseLeave();
  void URLclick();
  void ContactMouseMove();
  void ContactMouseLeave();
  void ContactClick();
  void Button1Click();

  LinkLabel URL;
  LinkLabel Contact;

 protected:
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  void SetupControls();
  HICON icon_ = nullptr;
};

extern TForm3* Form3;

}  // namespace vistrel
