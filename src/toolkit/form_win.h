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
// and hidden only, with its child controls built from a layout table and laid
// out for the DPI of the monitor it is on, again whenever that changes.
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

  int Dpi() const { return dpi_; }
  // A length of the tables (pixels at 96 DPI) at the form's DPI.
  int Scale(int pixels) const { return ScaleToDpi(pixels, dpi_); }

 protected:
  // Creates the form at that place with that client size, a table's (at 96
  // DPI), owned by the application.
  void CreateScaledForm(Application& app, const char* className, const char* caption, DWORD style,
                        DWORD exStyle, int left, int top, int clientWidth, int clientHeight);
  // The same in the middle of the screen.
  void CreateCentredForm(Application& app, const char* className, const char* caption, DWORD style,
                         DWORD exStyle, int clientWidth, int clientHeight);
  // Creates the form at that place and size in the screen's own pixels,
  // whatever the DPI.
  void CreateForm(Application& app, const char* className, const char* caption, DWORD style,
                  DWORD exStyle, int left, int top, int width, int height);
  Application& App() const { return *app_; }
  // Tab, Shift+Tab and the arrows walk the controls: tab order is creation
  // order, over the controls with WS_TABSTOP; WS_GROUP bounds arrow groups.
  void UseDialogKeys();
  // Builds the controls of a layout table, in their creation order; Custom
  // entries are skipped (the form creates those windows itself, at
  // LayoutRect()).
  void BuildControls(std::span<const LayoutEntry> layout, const FontStyle& formFont);
  // Where a table entry lies in the form's client area at the form's DPI.
  RECT LayoutRect(std::span<const LayoutEntry> layout, const LayoutEntry& entry) const;
  // What the form lays out itself beside the table's controls, once those
  // are laid out for a new DPI.
  virtual void OnDpiChanged() {}

  // Cursors per control and the shared answer to WM_SETCURSOR; forms call it
  // first from OnMessage.
  bool HandleSetCursor(WPARAM wParam, LPARAM lParam);
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

 private:
  HWND BuildControl(const LayoutEntry& entry, HFONT defaultFont);
  HFONT FontFor(const LayoutEntry& entry, HFONT defaultFont);
  void FitComboBox(HWND control, const LayoutEntry& entry) const;
  // The form at a new DPI, at the place the system suggests (or where it is).
  void ApplyDpi(int dpi, const RECT* suggested);
  void MoveFocus(WPARAM wParam, LPARAM lParam);
  bool DrawBevel(const DRAWITEMSTRUCT& item) const;

  Application* app_ = nullptr;
  int dpi_ = 96;
  bool scalesWithDpi_ = false;
  SIZE tableClientSize_ = {};  // at 96 DPI
  std::span<const LayoutEntry> layout_;
  FontStyle formFont_;
  std::vector<OwnedFont> fonts_;
  std::vector<std::pair<HWND, HCURSOR>> cursors_;
  std::vector<HWND> bevels_;
};

// The program's drag cursor in its resources (res/vistrel.rc).
inline constexpr int kDragCursorResource = 3;
HCURSOR CursorFor(CursorKind kind);
// A font of a layout table's style at that DPI.
OwnedFont CreateStyledFont(const FontStyle& style, int dpi, bool underline = false);

}  // namespace vistrel
