#include "about/about_window_win.h"

#include <shellapi.h>

#include "about/about_layout.h"
#include "toolkit/text_win.h"

namespace vistrel {

using namespace about;

namespace {
const LayoutEntry& EntryOf(int id) { return *FindEntry(Layout(), id); }
}  // namespace

void AboutWindow::Create(Application& app, std::function<void()> onOk) {
  onOk_ = std::move(onOk);
  RegisterWindowClass("TForm3", GetSysColorBrush(COLOR_BTNFACE), nullptr);
  CreateCentredForm(app, "TForm3", kCaption, WS_POPUP, WS_EX_TOPMOST, kClientWidth, kClientHeight);
}

void AboutWindow::Show() { ShowCentred(); }

void AboutWindow::SetUpControls() {
  BuildControls(Layout(), WindowFont());
  // The icon, drawn at its own size (scaled with the window at another DPI).
  const RECT ir = LayoutRect(Layout(), EntryOf(kIcon));
  HWND picture = CreateWindowExW(
      0, L"STATIC", L"", WS_CHILD | WS_VISIBLE | SS_ICON | SS_REALSIZEIMAGE, ir.left, ir.top,
      ir.right - ir.left, ir.bottom - ir.top, Handle(),
      reinterpret_cast<HMENU>(static_cast<INT_PTR>(kIcon)), GetModuleHandleW(nullptr), nullptr);
  if (!picture) RaiseLastError();

  // The links turn blue and underlined under the mouse, back to their own
  // colour when it leaves.
  const LayoutEntry& web = EntryOf(kWebLink);
  webLink_.Create(Handle(), kWebLink, LayoutRect(Layout(), web), web.caption, kNavy, kBlue);
  webLink_.onClick = [this] { OpenWebPage(); };
  const LayoutEntry& mail = EntryOf(kMailLink);
  mailLink_.Create(Handle(), kMailLink, LayoutRect(Layout(), mail), mail.caption, kTeal, kBlue);
  mailLink_.onClick = [this] { WriteMail(); };
  OnDpiChanged();
}

// The icon and the links' fonts at the window's DPI; the table placed them.
void AboutWindow::OnDpiChanged() {
  const RECT ir = LayoutRect(Layout(), EntryOf(kIcon));
  OwnedIcon icon = LoadResourceIcon(kIconResource, ir.right - ir.left, ir.bottom - ir.top);
  SendMessageW(Control(kIcon), STM_SETICON, reinterpret_cast<WPARAM>(icon.get()), 0);
  icon_ = std::move(icon);
  webLink_.SetFont(EntryFont(WindowFont(), EntryOf(kWebLink).font), Dpi());
  mailLink_.SetFont(EntryFont(WindowFont(), EntryOf(kMailLink).font), Dpi());
}

// The web link names the verb and is owned by this window; the mail link
// names neither, and the shell's default action writes the mail.
void AboutWindow::OpenWebPage() {
  ShellExecuteW(Handle(), L"open", Wide(kWebPage).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void AboutWindow::WriteMail() {
  ShellExecuteW(nullptr, nullptr, Wide(ContactLink()).c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void AboutWindow::Close() {
  Hide();
  onOk_();
}

LRESULT AboutWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      SetUpControls();
      UseDialogKeys();
      return 0;
    case WM_COMMAND:
      if (lParam && LOWORD(wParam) == kOkButton && HIWORD(wParam) == BN_CLICKED) Close();
      return 0;
    case WM_ACTIVATE:
      // "Ok" is the only control that takes the focus.
      if (LOWORD(wParam) != WA_INACTIVE) SetFocus(Control(kOkButton));
      return 0;
    case WM_CLOSE:
      // Alt+F4 is "Ok": the window is only ever hidden, back to the preferences.
      Close();
      return 0;
  }
  return Form::OnMessage(message, wParam, lParam);
}

}  // namespace vistrel
