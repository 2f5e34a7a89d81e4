#include "about/about_window_win.h"

#include <shellapi.h>

#include "about/about_layout.h"
#include "settings/preferences_window_win.h"

namespace vistrel {

using namespace about;

TForm3* Form3 = nullptr;

namespace {
const LayoutEntry& EntryOf(int id) { return *FindEntry(Layout(), id); }
}  // namespace

void TForm3::Create() {
  RegisterClass("TForm3", GetSysColorBrush(COLOR_BTNFACE), nullptr);
  CreateCentredForm("TForm3", kCaption, WS_POPUP, WS_EX_TOPMOST, kClientWidth, kClientHeight);
}

void TForm3::Show() { ShowCentred(); }

void TForm3::SetupControls() {
  BuildControls(Layout(), WindowFont());
  // The icon, drawn at its own size (scaled with the window at another DPI).
  const RECT ir = LayoutRect(Layout(), EntryOf(kImage2));
  icon_ = static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kIconResource),
                                        IMAGE_ICON, ir.right - ir.left, ir.bottom - ir.top,
                                        LR_DEFAULTCOLOR));
  HWND picture = CreateWindowExA(
      0, "STATIC", "", WS_CHILD | WS_VISIBLE | SS_ICON | SS_REALSIZEIMAGE, ir.left, ir.top,
      ir.right - ir.left, ir.bottom - ir.top, Handle(),
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kImage2)), GetModuleHandleA(nullptr), nullptr);
  SendMessageA(picture, STM_SETICON, reinterpret_cast<WPARAM>(icon_), 0);

  const LayoutEntry& url = EntryOf(kURL);
  URL.Create(Handle(), kURL, LayoutRect(Layout(), url), url.caption,
             EntryFont(WindowFont(), url.font), kNavy);
  URL.onMouseMove = [this] { URLMouseMove(); };
  URL.onMouseLeave = [this] { URLMouseLeave(); };
  URL.onClick = [this] { URLclick(); };
  const LayoutEntry& contact = EntryOf(kContact);
  Contact.Create(Handle(), kContact, LayoutRect(Layout(), contact), contact.caption,
                 EntryFont(WindowFont(), contact.font), kTeal);
  Contact.onMouseMove = [this] { ContactMouseMove(); };
  Contact.onMouseLeave = [this] { ContactMouseLeave(); };
  Contact.onClick = [this] { ContactClick(); };
}

void TForm3::URLMouseMove() {
  URL.SetColour(kBlue);
  URL.SetUnderline(true);
}

void TForm3::URLMouseLeave() {
  URL.SetColour(kNavy);
  URL.SetUnderline(false);
}

void TForm3::URLclick() {
  ShellExecuteA(Handle(), "open", kWebPage, nullptr, nullptr, SW_SHOWNORMAL);
}

void TForm3::ContactMouseMove() {
  Contact.SetColour(kBlue);
  Contact.SetUnderline(true);
}

void TForm3::ContactMouseLeave() {
  Contact.SetColour(kTeal);
  Contact.SetUnderline(false);
}

void TForm3::ContactClick() {
  ShellExecuteA(nullptr, nullptr, ContactLink().c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void TForm3::Button1Click() {
  Hide();
  Form2->Show();
}

LRESULT TForm3::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      SetupControls();
      UseDialogKeys();
      return 0;
    case WM_COMMAND:
      if (lParam && LOWORD(wParam) == kButton1 && HIWORD(wParam) == BN_CLICKED) Button1Click();
      return 0;
    case WM_ACTIVATE:
      // "Ok" is the only control that takes the focus.
      if (LOWORD(wParam) != WA_INACTIVE) SetFocus(Control(kButton1));
      return 0;
    case WM_DESTROY:
      if (icon_) DestroyIcon(icon_);
      icon_ = nullptr;
      break;
  }
  return Form::OnMessage(message, wParam, lParam);
}

}  // namespace vistrel
