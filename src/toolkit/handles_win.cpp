#include "toolkit/handles_win.h"

#include <atomic>

#include "toolkit/error.h"
#include "toolkit/error_display_win.h"

namespace vistrel {

namespace {
// Pictures are let go on the writing thread too.
std::atomic<long> held[kHandleKinds];
}  // namespace

long HandlesHeld(HandleKind kind) { return held[static_cast<int>(kind)].load(); }

void handles::Counted(HandleKind kind) { ++held[static_cast<int>(kind)]; }
void handles::Released(HandleKind kind) { --held[static_cast<int>(kind)]; }

void MenuRelease::operator()(HMENU menu) const {
  DestroyMenu(menu);
  handles::Released(HandleKind::Menu);
}

void IconRelease::operator()(HICON icon) const {
  DestroyIcon(icon);
  handles::Released(HandleKind::Icon);
}

void RaiseLastError() {
  // A handle the system could not make is most often out of its resources.
  const DWORD code = GetLastError();
  throw Error(SystemErrorText(code ? code : ERROR_NOT_ENOUGH_MEMORY));
}

OwnedMenu MakePopupMenu() {
  HMENU menu = CreatePopupMenu();
  if (!menu) RaiseLastError();
  handles::Counted(HandleKind::Menu);
  return OwnedMenu(menu);
}

OwnedIcon LoadResourceIcon(int resource, int width, int height) {
  HANDLE icon = LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(resource), IMAGE_ICON, width,
                           height, LR_DEFAULTCOLOR);
  if (!icon) RaiseLastError();
  handles::Counted(HandleKind::Icon);
  return OwnedIcon(static_cast<HICON>(icon));
}

OwnedBrush MakeSolidBrush(COLORREF colour) { return OwnGdi(CreateSolidBrush(colour)); }

}  // namespace vistrel
