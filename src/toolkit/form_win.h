#pragma once
#include <windows.h>

#include <span>
#include <vector>

#include "toolkit/handles_win.h"
#include "toolkit/layout.h"
#include "toolkit/window_win.h"

namespace vistrel {

class Application;

// A top-level window of the program: owned by the application window, shown
// and hidden only, with its child controls built from a layout table.
class Form : public Window {
 public:
  void Show() override;
  void Hide() override;
  // Shows the form without activating it.
  void ShowNoActivate();
  // Shows the form in the middle of the screen, in front and active.
  void ShowCentred();

  HWND Control(int id) const { return GetDlgItem(Handle(), id); }
  void SetControlText(int id, const char* text);
  std::string ControlText(int id) const;
  bool Checked(int id) const;
  void SetChecked(int id, bool checked);
  void SetEnabled(int id, bool enabled);

 protected:
  // Creates the form at the given outer size, owned by the application.
  void CreateForm(Application& app, const char* className, const char* caption, DWORD style,
                  DWORD exStyle, int left, int top, int width, int height);
  // Creates the form in the middle of the screen with that client size.
  void CreateCentredForm(Application& app, const char* className, const char* caption, DWORD style,
                         DWORD exStyle, int clientWidth, int clientHeight);
  Application& App() const { return *app_; }
  // Tab, Shift+Tab and the arrows walk the controls: tab order is creation
  // order, over the controls with WS_TABSTOP; WS_GROUP bounds arrow groups.
  void UseDialogKeys();
  // Builds the controls of a layout table, in their creation order; Custom
  // entries are skipped (the form creates those windows itself, at
  // LayoutRect()).
  void BuildControls(std::span<const LayoutEntry> layout, const FontStyle& formFont);
  // Screen-independent position of a table entry in the form's client area.
  RECT LayoutRect(std::span<const LayoutEntry> layout, const LayoutEntry& entry) const;

  // Cursors per control and the shared answer to WM_SETCURSOR; forms call it
  // first from OnMessage.
  bool HandleSetCursor(WPARAM wParam, LPARAM lParam);
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  HWND BuildControl(std::span<const LayoutEntry> layout, const LayoutEntry& entry,
                    HFONT defaultFont, const FontStyle& formFont);
  HFONT MakeFont(const FontStyle& fontStyle);
  void MoveFocus(WPARAM wParam, LPARAM lParam);
  bool DrawBevel(const DRAWITEMSTRUCT& item) const;

  Application* app_ = nullptr;
  std::vector<OwnedFont> fonts_;
  std::vector<std::pair<HWND, HCURSOR>> cursors_;
  std::vector<HWND> bevels_;
};

// The program's drag cursor in its resources (res/vistrel.rc).
inline constexpr int kDragCursorResource = 3;
HCURSOR CursorFor(CursorKind kind);
// The display's DPI (the program is DPI-aware: its pixels are the screen's),
// and a length of the tables scaled to it.
int ScreenDpi();
int Scaled(int pixels);
// A font of a layout table's style.
OwnedFont CreateStyledFont(const FontStyle& style, bool underline = false);

}  // namespace vistrel
