#pragma once
#include <windows.h>

#include <memory>
#include <type_traits>

namespace vistrel {

// Owners of the handles the program makes: each releases its handle when it
// goes. Every one made and released is counted, by kind, so that the
// test-hook build can tell whether windows opened and closed, or captures
// taken, leave handles behind.
enum class HandleKind { Menu, Icon, GdiObject };
inline constexpr int kHandleKinds = 3;

// Made and not yet released, by the owners below.
long HandlesHeld(HandleKind kind);

namespace handles {
void Counted(HandleKind kind);   // one made
void Released(HandleKind kind);  // one released or handed over
}  // namespace handles

struct MenuRelease {
  using pointer = HMENU;
  void operator()(HMENU menu) const;
};
struct IconRelease {
  using pointer = HICON;
  void operator()(HICON icon) const;
};
template <typename Handle>
struct GdiRelease {
  using pointer = Handle;
  void operator()(Handle object) const {
    DeleteObject(object);
    handles::Released(HandleKind::GdiObject);
  }
};

using OwnedMenu = std::unique_ptr<std::remove_pointer_t<HMENU>, MenuRelease>;
using OwnedIcon = std::unique_ptr<std::remove_pointer_t<HICON>, IconRelease>;
template <typename Handle>
using OwnedGdi = std::unique_ptr<std::remove_pointer_t<Handle>, GdiRelease<Handle>>;
using OwnedFont = OwnedGdi<HFONT>;
using OwnedBrush = OwnedGdi<HBRUSH>;
using OwnedBitmap = OwnedGdi<HBITMAP>;

// Each raises the system's error text when the handle cannot be made.
OwnedMenu MakePopupMenu();
// An icon of the program's resources at that size.
OwnedIcon LoadResourceIcon(int resource, int width, int height);
OwnedBrush MakeSolidBrush(COLORREF colour);
// Takes a GDI object just made (null: the system's error is raised).
template <typename Handle>
OwnedGdi<Handle> OwnGdi(Handle made);
void RaiseLastError();

// Gives the handle to whoever takes it over (the clipboard): no longer ours.
template <typename Owned>
auto HandOver(Owned& owned, HandleKind kind) {
  handles::Released(kind);
  return owned.release();
}

template <typename Handle>
OwnedGdi<Handle> OwnGdi(Handle made) {
  if (!made) RaiseLastError();
  handles::Counted(HandleKind::GdiObject);
  return OwnedGdi<Handle>(made);
}

}  // namespace vistrel
