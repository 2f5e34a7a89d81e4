#pragma once
#include <windows.h>

#include <functional>

#include "about/link_label_win.h"
#include "toolkit/form_win.h"

namespace vistrel {

// The about window (window class "TForm3"): name, version, dedication, a
// link to the web page and one to the contact address. "Ok" leads back to
// the preferences, through onOk, and so does a close by the system.
class AboutWindow : public Form {
 public:
  void Create(Application& app, std::function<void()> onOk);
  // Opens the window centred on the screen.
  void Show() override;

 protected:
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
  void OnDpiChanged() override;

 private:
  void SetUpControls();
  void OpenWebPage();
  void WriteMail();
  void Close();

  std::function<void()> onOk_;
  LinkLabel webLink_;
  LinkLabel mailLink_;
  OwnedIcon icon_;
};

}  // namespace vistrel
