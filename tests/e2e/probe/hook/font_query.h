// What the probe and its hook DLL exchange to read the fonts of a window.
#pragma once
#include <windows.h>

// Posted to a top-level window with wParam = the probe's reply window.
inline constexpr const char* kFontQueryMessage = "VistrelProbeFontQuery";
// The WM_COPYDATA tag of the answer: an array of FontRecord, the window first,
// then its descendants.
inline constexpr ULONG_PTR kFontReplyTag = 0x7E5F;
inline constexpr int kMaxFontRecords = 256;

struct FontRecord {
  unsigned long long hwnd;
  int hasFont;   // WM_GETFONT gave a font (else the system font is used)
  int readable;  // GetObject read it
  LOGFONTA font;
};
