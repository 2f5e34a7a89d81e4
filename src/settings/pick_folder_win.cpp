#include "settings/pick_folder_win.h"

#include <windows.h>

#include <shlobj.h>

#include <vector>

#include "toolkit/text_win.h"

namespace vistrel {
namespace {

// Disables every form of the program (the top-level windows owned by the
// application window) and lets the system's critical-error boxes be; both
// come back on every way out.
class ModalScope {
 public:
  explicit ModalScope(HWND applicationWindow)
      : applicationWindow_(applicationWindow), errorMode_(SetErrorMode(SEM_FAILCRITICALERRORS)) {
    EnumThreadWindows(GetCurrentThreadId(), &ModalScope::Disable, reinterpret_cast<LPARAM>(this));
  }
  ~ModalScope() {
    for (HWND form : disabled_) EnableWindow(form, TRUE);
    SetErrorMode(errorMode_);
  }
  ModalScope(const ModalScope&) = delete;
  ModalScope& operator=(const ModalScope&) = delete;

 private:
  static BOOL CALLBACK Disable(HWND hwnd, LPARAM self) {
    auto* scope = reinterpret_cast<ModalScope*>(self);
    if (GetWindow(hwnd, GW_OWNER) == scope->applicationWindow_ && IsWindowEnabled(hwnd)) {
      EnableWindow(hwnd, FALSE);
      scope->disabled_.push_back(hwnd);
    }
    return TRUE;
  }
  HWND applicationWindow_;
  UINT errorMode_;
  std::vector<HWND> disabled_;
};

// Memory from the shell's allocator, given back on scope exit.
class ShellMemory {
 public:
  ShellMemory() {
    if (FAILED(SHGetMalloc(&malloc_))) malloc_ = nullptr;
  }
  ~ShellMemory() {
    if (!malloc_) return;
    for (void* block : blocks_) malloc_->Free(block);
    malloc_->Release();
  }
  ShellMemory(const ShellMemory&) = delete;
  ShellMemory& operator=(const ShellMemory&) = delete;
  void* Alloc(SIZE_T size) { return Own(malloc_ ? malloc_->Alloc(size) : nullptr); }
  void* Own(void* block) {
    if (block) blocks_.push_back(block);
    return block;
  }
  explicit operator bool() const { return malloc_ != nullptr; }

 private:
  IMalloc* malloc_ = nullptr;
  std::vector<void*> blocks_;
};

}  // namespace

bool PickFolder(HWND applicationWindow, const std::string& caption, std::string& path) {
  ShellMemory shell;
  if (!shell) return false;
  auto* displayName = static_cast<wchar_t*>(shell.Alloc(MAX_PATH * sizeof(wchar_t)));
  if (!displayName) return false;
  BROWSEINFOW info = {};
  info.hwndOwner = applicationWindow;
  info.pidlRoot = nullptr;
  info.pszDisplayName = displayName;
  const std::wstring title = Wide(caption);
  info.lpszTitle = title.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS;
  LPITEMIDLIST chosen = nullptr;
  {
    ModalScope modal(applicationWindow);
    chosen = SHBrowseForFolderW(&info);
  }
  if (!chosen) return false;
  shell.Own(chosen);
  wchar_t buffer[MAX_PATH] = L"";
  if (!SHGetPathFromIDListW(chosen, buffer)) return false;
  path = Utf8(buffer);
  return true;
}

}  // namespace vistrel
