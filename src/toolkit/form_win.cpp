#include "toolkit/form_win.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "toolkit/application_win.h"

namespace vistrel {

HCURSOR CursorFor(CursorKind kind) {
  switch (kind) {
    case CursorKind::Hand:
      return LoadCursorA(nullptr, MAKEINTRESOURCEA(32649));  // IDC_HAND
    case CursorKind::SizeAll:
      return LoadCursorA(nullptr, MAKEINTRESOURCEA(32646));  // IDC_SIZEALL
    case CursorKind::Drag:
      // The system has no drag cursor of its own: the arrow with a box under it.
      return LoadCursorA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kDragCursorResource));
    case CursorKind::Cross:
      return LoadCursorA(nullptr, MAKEINTRESOURCEA(32515));  // IDC_CROSS
    case CursorKind::Default:
      break;
  }
  return LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
}

int ScreenDpi() {
  static const int dpi = [] {
    HDC screen = GetDC(nullptr);
    const int value = GetDeviceCaps(screen, LOGPIXELSY);
    ReleaseDC(nullptr, screen);
    return value > 0 ? value : 96;
  }();
  return dpi;
}

int Scaled(int pixels) { return ScaleToDpi(pixels, ScreenDpi()); }

Form::~Form() {
  for (HFONT font : fonts_) DeleteObject(font);
}

void Form::Show() {
  Window::Show();
  Application::FormVisibilityChanged();
}

void Form::ShowNoActivate() {
  ShowWindow(Handle(), SW_SHOWNA);
  Application::FormVisibilityChanged();
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
  Application::FormVisibilityChanged();
}

void Form::CreateForm(const char* className, const char* caption, DWORD style, DWORD exStyle,
                      int left, int top, int width, int height) {
  Application::AddForm(this);
  CreateWin(className, caption, style, exStyle, left, top, width, height, Application::Handle());
}

void Form::CreateCentredForm(const char* className, const char* caption, DWORD style, DWORD exStyle,
                             int clientWidth, int clientHeight) {
  RECT r = {0, 0, Scaled(clientWidth), Scaled(clientHeight)};
  AdjustWindowRectEx(&r, style, FALSE, exStyle);
  const int width = r.right - r.left, height = r.bottom - r.top;
  const POINT at = CentredOnScreen(width, height);
  CreateForm(className, caption, style, exStyle, at.x, at.y, width, height);
}

HFONT CreateStyledFont(const FontStyle& style, bool underline) {
  return CreateFontA(-Scaled(style.height), 0, 0, 0, style.bold ? FW_BOLD : FW_NORMAL, FALSE,
                     underline, FALSE, static_cast<BYTE>(style.charset), OUT_DEFAULT_PRECIS,
                     CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH | FF_DONTCARE, style.face);
}

HFONT Form::MakeFont(const FontStyle& fontStyle) {
  HFONT font = CreateStyledFont(fontStyle);
  fonts_.push_back(font);
  return font;
}

RECT Form::LayoutRect(std::span<const LayoutEntry> layout, const LayoutEntry& entry) const {
  int left = entry.left, top = entry.top;
  for (const LayoutEntry* parent = ParentOf(layout, entry); parent;
       parent = ParentOf(layout, *parent)) {
    left += parent->left;
    top += parent->top;
  }
  // Edges scaled one by one, so that neighbours stay neighbours.
  return {Scaled(left), Scaled(top), Scaled(left + entry.width), Scaled(top + entry.height)};
}

void Form::BuildControls(std::span<const LayoutEntry> layout, const FontStyle& formFont) {
  HFONT defaultFont = MakeFont(formFont);
  SendMessageA(Handle(), WM_SETFONT, reinterpret_cast<WPARAM>(defaultFont), FALSE);
  // Group boxes first (bottom of the z-order), then the rest in tab order so
  // that the keyboard walks the table's order. A tab order counts within its
  // parent, so a control sorts by its parents' orders, then its own.
  auto tabPath = [layout](const LayoutEntry& entry) {
    std::vector<int> path;
    for (const LayoutEntry* at = &entry; at; at = ParentOf(layout, *at))
      path.insert(path.begin(), at->tabOrder < 0 ? 1000 : at->tabOrder);
    return path;
  };
  std::vector<const LayoutEntry*> order;
  for (const LayoutEntry& entry : layout) order.push_back(&entry);
  std::stable_sort(order.begin(), order.end(),
                   [&tabPath](const LayoutEntry* a, const LayoutEntry* b) {
                     const bool ga = a->kind == ControlKind::GroupBox;
                     const bool gb = b->kind == ControlKind::GroupBox;
                     if (ga != gb) return ga;
                     return tabPath(*a) < tabPath(*b);
                   });
  for (const LayoutEntry* entry : order) {
    if (entry->kind == ControlKind::Custom) continue;
    const char* className = "BUTTON";
    DWORD style = WS_CHILD | WS_VISIBLE;
    DWORD exStyle = 0;
    switch (entry->kind) {
      case ControlKind::Button:
        style |= BS_PUSHBUTTON;
        break;
      case ControlKind::CheckBox:
        style |= BS_AUTOCHECKBOX;
        break;
      case ControlKind::RadioButton:
        style |= BS_AUTORADIOBUTTON;
        break;
      case ControlKind::GroupBox:
        style |= BS_GROUPBOX;
        break;
      case ControlKind::Label:
        className = "STATIC";
        style |= SS_NOTIFY;
        style |= (entry->flags & flag::kRightAlign) ? SS_RIGHT : SS_LEFT;
        if (entry->flags & flag::kVCenter) style |= SS_CENTERIMAGE;
        break;
      case ControlKind::Edit:
        className = "EDIT";
        style |= ES_AUTOHSCROLL;
        exStyle |= WS_EX_CLIENTEDGE;
        break;
      case ControlKind::ComboBox:
        className = "COMBOBOX";
        style |= CBS_DROPDOWN | CBS_AUTOHSCROLL | WS_VSCROLL;
        break;
      case ControlKind::TrackBar:
        className = TRACKBAR_CLASSA;
        style |= TBS_HORZ | TBS_NOTICKS | TBS_FIXEDLENGTH;
        break;
      case ControlKind::Bevel:
        className = "STATIC";
        style |= SS_ETCHEDFRAME;
        break;
      case ControlKind::Strip:
        className = "STATIC";
        break;
      case ControlKind::Custom:
        break;
    }
    // A group box's tab order only orders its contents; it takes no focus.
    if (entry->tabOrder >= 0 && entry->kind != ControlKind::GroupBox) style |= WS_TABSTOP;
    // A control that takes no focus ends the arrow group before it.
    if ((entry->flags & flag::kGroupStart) || entry->tabOrder < 0) style |= WS_GROUP;
    if (entry->flags & flag::kDisabled) style |= WS_DISABLED;
    if (entry->flags & flag::kRightToLeft) exStyle |= WS_EX_RTLREADING;
    const RECT r = LayoutRect(layout, *entry);
    // Combo boxes take their drop-down list's height as their window height.
    const int height = entry->kind == ControlKind::ComboBox ? Scaled(300) : r.bottom - r.top;
    HWND control = CreateWindowExA(exStyle, className, entry->caption ? entry->caption : "", style,
                                   r.left, r.top, r.right - r.left, height, Handle(),
                                   reinterpret_cast<HMENU>(static_cast<INT_PTR>(entry->id)),
                                   GetModuleHandleA(nullptr), nullptr);
    HFONT font = entry->font.face || entry->font.height ? MakeFont(EntryFont(formFont, entry->font))
                                                        : defaultFont;
    SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (entry->kind == ControlKind::ComboBox) {
      // A closed combo box is as high as its selection field makes it, which
      // follows the font: the field is sized so the box has the table's
      // height, measured again since a request and its outcome may differ.
      const int target = r.bottom - r.top;
      int request = static_cast<int>(SendMessageA(control, CB_GETITEMHEIGHT, -1, 0));
      for (int tries = 0; tries < 3; ++tries) {
        RECT now = {};
        GetWindowRect(control, &now);
        const int error = static_cast<int>(now.bottom - now.top) - target;
        if (error == 0 || request - error <= 0) break;
        request -= error;
        SendMessageA(control, CB_SETITEMHEIGHT, -1, request);
      }
    }
    if (entry->flags & flag::kChecked) SendMessageA(control, BM_SETCHECK, BST_CHECKED, 0);
    if (entry->cursor != CursorKind::Default)
      cursors_.push_back({control, CursorFor(entry->cursor)});
  }
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

void Form::UseDialogKeys() { Application::UseDialogKeys(Handle()); }

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
  if (SendMessageA(target, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL)
    SendMessageA(target, EM_SETSEL, 0, -1);
}

LRESULT Form::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_SETCURSOR && HandleSetCursor(wParam, lParam)) return TRUE;
  if (message == WM_NEXTDLGCTL) {
    MoveFocus(wParam, lParam);
    return 0;
  }
  return Window::OnMessage(message, wParam, lParam);
}

void Form::SetControlText(int id, const char* text) { SetDlgItemTextA(Handle(), id, text); }

std::string Form::ControlText(int id) const {
  HWND control = Control(id);
  std::string text(static_cast<size_t>(GetWindowTextLengthA(control)) + 1, '\0');
  text.resize(
      static_cast<size_t>(GetWindowTextA(control, text.data(), static_cast<int>(text.size()))));
  return text;
}

bool Form::Checked(int id) const {
  return SendMessageA(Control(id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Form::SetChecked(int id, bool checked) {
  SendMessageA(Control(id), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void Form::SetEnabled(int id, bool enabled) { EnableWindow(Control(id), enabled); }

}  // namespace vistrel
