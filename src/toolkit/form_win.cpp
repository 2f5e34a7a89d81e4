#include "toolkit/form_win.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "toolkit/application_win.h"
#include "toolkit/control_description.h"
#include "toolkit/dpi_win.h"
#include "toolkit/text_win.h"

namespace vistrel {

// The control descriptions spell out the system's style bits.
static_assert(win32::kChild == WS_CHILD && win32::kVisible == WS_VISIBLE &&
              win32::kDisabled == WS_DISABLED && win32::kVScroll == WS_VSCROLL &&
              win32::kGroup == WS_GROUP && win32::kTabStop == WS_TABSTOP);
static_assert(win32::kExClientEdge == WS_EX_CLIENTEDGE && win32::kExRtlReading == WS_EX_RTLREADING);
static_assert(win32::kPushButton == BS_PUSHBUTTON && win32::kAutoCheckBox == BS_AUTOCHECKBOX &&
              win32::kGroupBox == BS_GROUPBOX && win32::kAutoRadioButton == BS_AUTORADIOBUTTON);
static_assert(win32::kStaticLeft == SS_LEFT && win32::kStaticRight == SS_RIGHT &&
              win32::kStaticOwnerDraw == SS_OWNERDRAW && win32::kStaticNotify == SS_NOTIFY &&
              win32::kStaticCentreImage == SS_CENTERIMAGE);
static_assert(win32::kEditAutoHScroll == ES_AUTOHSCROLL && win32::kComboDropDown == CBS_DROPDOWN &&
              win32::kComboAutoHScroll == CBS_AUTOHSCROLL && win32::kTrackNoTicks == TBS_NOTICKS &&
              win32::kTrackFixedLength == TBS_FIXEDLENGTH && TBS_HORZ == 0);

HCURSOR CursorFor(CursorKind kind) {
  switch (kind) {
    case CursorKind::Hand:
      return LoadCursorW(nullptr, IDC_HAND);
    case CursorKind::SizeAll:
      return LoadCursorW(nullptr, IDC_SIZEALL);
    case CursorKind::Drag:
      // The system has no drag cursor of its own: the arrow with a box under it.
      return LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(kDragCursorResource));
    case CursorKind::Cross:
      return LoadCursorW(nullptr, IDC_CROSS);
    case CursorKind::Default:
      break;
  }
  return LoadCursorW(nullptr, IDC_ARROW);
}

void Form::Show() {
  Window::Show();
  app_->FormVisibilityChanged();
}

void Form::ShowNoActivate() {
  ShowWindow(Handle(), SW_SHOWNA);
  app_->FormVisibilityChanged();
}

namespace {
POINT CentredOnScreen(int width, int height) {
  return {(GetSystemMetrics(SM_CXSCREEN) - width) / 2,
          (GetSystemMetrics(SM_CYSCREEN) - height) / 2};
}
}  // namespace

void Form::ShowCentred() {
  const Rect r = ScreenRect();
  const POINT at = CentredOnScreen(r.Width(), r.Height());
  SetPosition(at.x, at.y);
  Form::Show();
  SetForegroundWindow(Handle());
}

void Form::Hide() {
  Window::Hide();
  app_->FormVisibilityChanged();
}

void Form::CreateForm(Application& app, const char* className, const char* caption, DWORD style,
                      DWORD exStyle, int left, int top, int width, int height) {
  app_ = &app;
  app.AddForm(this);
  CreateWin(className, caption, style, exStyle, left, top, width, height, app.Handle());
}

void Form::CreateScaledForm(Application& app, const char* className, const char* caption,
                            DWORD style, DWORD exStyle, int left, int top, int clientWidth,
                            int clientHeight) {
  // Made at the system's DPI, then laid out again if the monitor it is on
  // has another.
  dpi_ = ScreenDpi();
  scalesWithDpi_ = true;
  tableClientSize_ = {clientWidth, clientHeight};
  const SIZE size = OuterSize(style, exStyle, Scale(clientWidth), Scale(clientHeight));
  CreateForm(app, className, caption, style, exStyle, left, top, size.cx, size.cy);
  if (const int dpi = WindowDpi(Handle(), dpi_); dpi != dpi_) ApplyDpi(dpi, nullptr);
}

void Form::CreateCentredForm(Application& app, const char* className, const char* caption,
                             DWORD style, DWORD exStyle, int clientWidth, int clientHeight) {
  const int dpi = ScreenDpi();
  const SIZE size =
      OuterSize(style, exStyle, ScaleToDpi(clientWidth, dpi), ScaleToDpi(clientHeight, dpi));
  const POINT at = CentredOnScreen(size.cx, size.cy);
  CreateScaledForm(app, className, caption, style, exStyle, at.x, at.y, clientWidth, clientHeight);
}

OwnedFont CreateStyledFont(const FontStyle& style, int dpi, bool underline) {
  return OwnGdi(CreateFontW(
      -ScaleToDpi(style.height, dpi), 0, 0, 0, style.bold ? FW_BOLD : FW_NORMAL, FALSE, underline,
      FALSE, static_cast<BYTE>(style.charset), OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
      DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, Wide(style.face ? style.face : "").c_str()));
}

RECT Form::LayoutRect(std::span<const LayoutEntry> layout, const LayoutEntry& entry) const {
  int left = entry.left, top = entry.top;
  for (const LayoutEntry* parent = ParentOf(layout, entry); parent;
       parent = ParentOf(layout, *parent)) {
    left += parent->left;
    top += parent->top;
  }
  // Edges scaled one by one, so that neighbours stay neighbours.
  return {Scale(left), Scale(top), Scale(left + entry.width), Scale(top + entry.height)};
}

void Form::BuildControls(std::span<const LayoutEntry> layout, const FontStyle& formFont) {
  layout_ = layout;
  formFont_ = formFont;
  fonts_.push_back(CreateStyledFont(formFont, dpi_));
  HFONT defaultFont = fonts_.back().get();
  SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(defaultFont), FALSE);
  for (const LayoutEntry* entry : CreationOrder(layout)) {
    HWND control = BuildControl(*entry, defaultFont);
    if (!control) continue;
    if (entry->kind == ControlKind::Bevel) bevels_.push_back(control);
    if (entry->flags & flag::kChecked) SendMessageW(control, BM_SETCHECK, BST_CHECKED, 0);
    if (entry->cursor != CursorKind::Default)
      cursors_.push_back({control, CursorFor(entry->cursor)});
  }
}

namespace {
// A combo box's window height is that of its dropped-down list.
constexpr int kDropDownHeight = 300;
}  // namespace

HWND Form::BuildControl(const LayoutEntry& entry, HFONT defaultFont) {
  const std::optional<ControlDescription> described = DescribeControl(entry);
  if (!described) return nullptr;
  const RECT r = LayoutRect(layout_, entry);
  const int height =
      entry.kind == ControlKind::ComboBox ? Scale(kDropDownHeight) : r.bottom - r.top;
  HWND control = CreateWindowExW(described->exStyle, Wide(described->className).c_str(),
                                 Wide(entry.caption ? entry.caption : "").c_str(), described->style,
                                 r.left, r.top, r.right - r.left, height, Handle(),
                                 reinterpret_cast<HMENU>(static_cast<INT_PTR>(entry.id)),
                                 GetModuleHandleW(nullptr), nullptr);
  if (!control) RaiseLastError();
  SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(entry, defaultFont)), FALSE);
  if (entry.kind == ControlKind::ComboBox) FitComboBox(control, entry);
  return control;
}

HFONT Form::FontFor(const LayoutEntry& entry, HFONT defaultFont) {
  if (!entry.font.face && !entry.font.height) return defaultFont;
  fonts_.push_back(CreateStyledFont(EntryFont(formFont_, entry.font), dpi_));
  return fonts_.back().get();
}

// A closed combo box is as high as its selection field makes it, which
// follows the font: the field is sized so the box has the table's height,
// measured again since a request and its outcome may differ.
void Form::FitComboBox(HWND control, const LayoutEntry& entry) const {
  const int target = Scale(entry.top + entry.height) - Scale(entry.top);
  int request = static_cast<int>(SendMessageW(control, CB_GETITEMHEIGHT, -1, 0));
  for (int tries = 0; tries < 3; ++tries) {
    RECT now = {};
    GetWindowRect(control, &now);
    const int error = static_cast<int>(now.bottom - now.top) - target;
    if (error == 0 || request - error <= 0) break;
    request -= error;
    SendMessageW(control, CB_SETITEMHEIGHT, -1, request);
  }
}

void Form::ApplyDpi(int dpi, const RECT* suggested) {
  dpi_ = dpi;
  // Where the system suggests first: the frame is then drawn at the new
  // DPI, and the client area is made the table's, scaled, inside it.
  constexpr UINT kPlace = SWP_NOZORDER | SWP_NOACTIVATE;
  if (suggested)
    SetWindowPos(Handle(), nullptr, suggested->left, suggested->top,
                 suggested->right - suggested->left, suggested->bottom - suggested->top, kPlace);
  RECT outer = {}, client = {};
  GetWindowRect(Handle(), &outer);
  GetClientRect(Handle(), &client);
  const int frameWidth = (outer.right - outer.left) - client.right;
  const int frameHeight = (outer.bottom - outer.top) - client.bottom;
  SetWindowPos(Handle(), nullptr, 0, 0, Scale(tableClientSize_.cx) + frameWidth,
               Scale(tableClientSize_.cy) + frameHeight, kPlace | SWP_NOMOVE);
  // The fonts are made anew; the old ones go once no control uses them.
  std::vector<OwnedFont> previous;
  previous.swap(fonts_);
  fonts_.push_back(CreateStyledFont(formFont_, dpi_));
  HFONT defaultFont = fonts_.back().get();
  SendMessageW(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(defaultFont), TRUE);
  for (const LayoutEntry& entry : layout_) {
    HWND control = Control(entry.id);
    if (!control) continue;
    const RECT r = LayoutRect(layout_, entry);
    const int height =
        entry.kind == ControlKind::ComboBox ? Scale(kDropDownHeight) : r.bottom - r.top;
    MoveWindow(control, r.left, r.top, r.right - r.left, height, TRUE);
    // The form's own windows (Custom entries) keep the fonts they chose.
    if (entry.kind == ControlKind::Custom) continue;
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(FontFor(entry, defaultFont)), TRUE);
    if (entry.kind == ControlKind::ComboBox) FitComboBox(control, entry);
  }
  OnDpiChanged();
}

// A bevel is a box one pixel wide, sunken: dark above and left, light below
// and right; what lies inside it shows through.
bool Form::DrawBevel(const DRAWITEMSTRUCT& item) const {
  if (std::find(bevels_.begin(), bevels_.end(), item.hwndItem) == bevels_.end()) return false;
  RECT r = item.rcItem;
  DrawEdge(item.hDC, &r, BDR_SUNKENOUTER, BF_RECT);
  return true;
}

bool Form::HandleSetCursor(WPARAM wParam, LPARAM lParam) {
  if (LOWORD(lParam) != HTCLIENT) return false;
  HWND over = reinterpret_cast<HWND>(wParam);
  for (const auto& [control, cursor] : cursors_) {
    if (control == over) {
      SetCursor(cursor);
      return true;
    }
  }
  return false;
}

void Form::UseDialogKeys() { app_->UseDialogKeys(Handle()); }

// WM_NEXTDLGCTL, which IsDialogMessage sends for Tab and the arrows and which
// only the dialog box procedure would answer: wParam names the control when
// lParam is set, else it asks for the previous (non-zero) or next tab stop.
void Form::MoveFocus(WPARAM wParam, LPARAM lParam) {
  HWND target = nullptr;
  if (LOWORD(lParam)) {
    target = reinterpret_cast<HWND>(wParam);
  } else {
    // The focus may sit inside a control (a combo box's edit field).
    HWND from = GetFocus();
    while (from && GetParent(from) != Handle()) from = GetParent(from);
    target = GetNextDlgTabItem(Handle(), from, wParam != 0);
  }
  if (!target || !IsChild(Handle(), target)) return;
  SetFocus(target);
  if (SendMessageW(target, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
    SendMessageW(target, EM_SETSEL, 0, -1);
}

LRESULT Form::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SETCURSOR && HandleSetCursor(wParam, lParam)) return TRUE;
  if (message == WM_NEXTDLGCTL) {
    MoveFocus(wParam, lParam);
    return 0;
  }
  if (message == WM_DRAWITEM && DrawBevel(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)))
    return TRUE;
  if (message == WM_DPICHANGED) {
    // The monitor it is on has another scale (it was moved there, or the
    // user changed the scale): laid out again at the new DPI.
    if (scalesWithDpi_) ApplyDpi(HIWORD(wParam), reinterpret_cast<const RECT*>(lParam));
    return 0;
  }
  return Window::OnMessage(message, wParam, lParam);
}

void Form::SetControlText(int id, const char* text) {
  SetDlgItemTextW(Handle(), id, Wide(text).c_str());
}

std::string Form::ControlText(int id) const {
  HWND control = Control(id);
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(
      static_cast<size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return Utf8(text);
}

bool Form::Checked(int id) const {
  return SendMessageW(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Form::SetChecked(int id, bool checked) {
  SendMessageW(Control(id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void Form::SetEnabled(int id, bool enabled) { EnableWindow(Control(id), enabled); }

}  // namespace vistrel
