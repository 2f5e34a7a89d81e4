// What the probe and its hook DLL exchange to read, inside the program, what
// Wine does not hand across processes: control fonts, popup-menu items, the
// icon of a box and the cursor.
#pragma once
#include <windows.h>

// Posted to a window with wParam = the probe's reply window and lParam = the
// query kind.
inline constexpr const wchar_t* kQueryMessage = L"VistrelProbeQuery";
inline constexpr LPARAM kQueryFonts = 1;   // a top-level window and its descendants
inline constexpr LPARAM kQueryMenu = 2;    // an open popup menu window (#32768)
inline constexpr LPARAM kQueryIcon = 3;    // a message box: which system icon it shows
inline constexpr LPARAM kQueryCursor = 4;  // any window of the thread: the cursor it set

// The WM_COPYDATA tags of the answers: arrays of FontRecord (the window first,
// then its descendants) or of MenuRecord (the items in order).
inline constexpr ULONG_PTR kFontReplyTag = 0x7E5F;
inline constexpr ULONG_PTR kMenuReplyTag = 0x7E60;
inline constexpr ULONG_PTR kIconReplyTag = 0x7E61;    // one int, an IconKind
inline constexpr ULONG_PTR kCursorReplyTag = 0x7E62;  // one CursorRecord
inline constexpr int kMaxRecords = 256;

struct FontRecord {
  unsigned long long hwnd;
  int hasFont;   // WM_GETFONT gave a font (else the system font is used)
  int readable;  // GetObject read it
  LOGFONTW font;
};

enum IconKind : int {
  kNoIcon,
  kStopIcon,
  kWarningIcon,
  kInformationIcon,
  kQuestionIcon,
  kOtherIcon
};

// The thread's cursor: the system cursor it is (its IDC_ number) or the
// program's own cursor resource it is (its id); 0 where it is neither.
struct CursorRecord {
  int systemId;
  int resourceId;
};

struct MenuRecord {
  unsigned int id;
  unsigned int state;  // GetMenuState flags
  RECT rect;           // screen coordinates
  wchar_t text[128];   // UTF-16
};
