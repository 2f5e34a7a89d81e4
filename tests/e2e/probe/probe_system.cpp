// Clipboard and resource commands: hold-clipboard, clipboard-info,
// clipboard-save, clipboard-put-pattern, clipboard-clear, clipboard-sequence,
// peek-clipboard, clipboard-reader, gui-resources.
#include "probe.h"

#include <psapi.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace probe {
namespace {

// Opens with a window of its own: under Wine two openers that both pass no
// window do not exclude each other.
bool OpenClipboardWithin(DWORD milliseconds) {
  static HWND owner = CreateWindowExW(0, L"STATIC", L"vistrel probe", 0, 0, 0, 0, 0, HWND_MESSAGE,
                                      nullptr, GetModuleHandleW(nullptr), nullptr);
  const DWORD start = GetTickCount();
  while (!OpenClipboard(owner)) {
    if (GetTickCount() - start > milliseconds) return false;
    Sleep(20);
  }
  return true;
}

std::string FormatName(UINT format) {
  static const std::pair<UINT, const char*> standard[] = {
      {CF_TEXT, "CF_TEXT"},
      {CF_BITMAP, "CF_BITMAP"},
      {CF_METAFILEPICT, "CF_METAFILEPICT"},
      {CF_SYLK, "CF_SYLK"},
      {CF_DIF, "CF_DIF"},
      {CF_TIFF, "CF_TIFF"},
      {CF_OEMTEXT, "CF_OEMTEXT"},
      {CF_DIB, "CF_DIB"},
      {CF_PALETTE, "CF_PALETTE"},
      {CF_PENDATA, "CF_PENDATA"},
      {CF_RIFF, "CF_RIFF"},
      {CF_WAVE, "CF_WAVE"},
      {CF_UNICODETEXT, "CF_UNICODETEXT"},
      {CF_ENHMETAFILE, "CF_ENHMETAFILE"},
      {CF_HDROP, "CF_HDROP"},
      {CF_LOCALE, "CF_LOCALE"},
      {CF_DIBV5, "CF_DIBV5"},
  };
  for (const auto& [number, name] : standard)
    if (number == format) return name;
  wchar_t name[256] = {};
  if (GetClipboardFormatNameW(format, name, 256)) return Utf8FromWide(name);
  return std::to_string(format);
}

int HoldClipboard(const Args& args) {
  if (!OpenClipboardWithin(5000)) Fail("clipboard busy");
  Print(Json::Object().Set("held", true));
  Sleep(static_cast<DWORD>(args.Int("seconds", 5) * 1000));
  // --copy TEXT: written before letting go, as a program that copies while it
  // holds the clipboard (a clipboard manager, a remote desktop's sync).
  if (args.Has("copy")) {
    const std::wstring text = args.Wide("copy");
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, (text.size() + 1) * sizeof(wchar_t));
    if (memory) {
      std::memcpy(GlobalLock(memory), text.c_str(), (text.size() + 1) * sizeof(wchar_t));
      GlobalUnlock(memory);
      EmptyClipboard();
      if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
    }
  }
  CloseClipboard();
  Print(Json::Object().Set("released", true));
  return 0;
}

int ClipboardInfo(const Args& args) {
  if (!OpenClipboardWithin(static_cast<DWORD>(args.Int("timeout", 3000)))) Fail("clipboard busy");
  Json formats = Json::Array();
  for (UINT f = EnumClipboardFormats(0); f; f = EnumClipboardFormats(f))
    formats.Push(FormatName(f));
  Json bitmap = nullptr;
  if (IsClipboardFormatAvailable(CF_BITMAP)) {
    BITMAP bm = {};
    HANDLE handle = GetClipboardData(CF_BITMAP);
    if (handle && GetObjectW(handle, sizeof bm, &bm))
      bitmap = Json::Object()
                   .Set("width", static_cast<int>(bm.bmWidth))
                   .Set("height", static_cast<int>(bm.bmHeight))
                   .Set("bpp", static_cast<int>(bm.bmBitsPixel));
  }
  const HWND owner = GetClipboardOwner();
  CloseClipboard();
  Print(Json::Object()
            .Set("formats", formats)
            .Set("bitmap", bitmap)
            .Set("sequence", static_cast<long long>(GetClipboardSequenceNumber()))
            .Set("owner", HwndValue(owner))
            .Set("owner_pid", owner ? PidOf(owner) : 0UL));
  return 0;
}

// Writes the clipboard's CF_DIB as a .bmp file: a way to the pixels that does
// not depend on the X selection.
int ClipboardSave(const Args& args) {
  const std::wstring path = args.Wide("path");
  if (path.empty()) Fail("--path is required");
  if (!OpenClipboardWithin(static_cast<DWORD>(args.Int("timeout", 3000)))) Fail("clipboard busy");
  HANDLE handle = GetClipboardData(CF_DIB);
  if (!handle) {
    CloseClipboard();
    Fail("no CF_DIB on the clipboard");
  }
  const auto* header = static_cast<const BITMAPINFOHEADER*>(GlobalLock(handle));
  const SIZE_T size = GlobalSize(handle);
  DWORD colours = header->biClrUsed;
  if (!colours && header->biBitCount <= 8) colours = 1u << header->biBitCount;
  DWORD masks =
      header->biCompression == BI_BITFIELDS && header->biSize == sizeof(BITMAPINFOHEADER) ? 12 : 0;
  BITMAPFILEHEADER file = {};
  file.bfType = 0x4D42;
  file.bfSize = static_cast<DWORD>(sizeof file + size);
  file.bfOffBits = static_cast<DWORD>(sizeof file + header->biSize + masks + colours * 4);
  FILE* out = _wfopen(path.c_str(), L"wb");
  bool ok = out && fwrite(&file, sizeof file, 1, out) == 1 && fwrite(header, size, 1, out) == 1;
  if (out) ok = fclose(out) == 0 && ok;
  const int width = header->biWidth, height = header->biHeight, bpp = header->biBitCount;
  GlobalUnlock(handle);
  CloseClipboard();
  if (!ok) Fail("cannot write " + args.Get("path"));
  Print(Json::Object().Set("width", width).Set("height", height).Set("bpp", bpp));
  return 0;
}

// Puts a W x H bitmap showing the fixture's pattern on the clipboard, the way
// the program puts its captures there (CF_BITMAP of a screen-compatible bitmap).
int ClipboardPutPattern(const Args& args) {
  const int w = static_cast<int>(args.Int("w", 64)), h = static_cast<int>(args.Int("h", 48));
  HDC screen = GetDC(nullptr);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
  HDC dc = CreateCompatibleDC(screen);
  HGDIOBJ old = SelectObject(dc, bitmap);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      SetPixelV(dc, x, y, RGB(x & 0xFF, y & 0xFF, (0x40 + (x >> 8) * 40 + (y >> 8) * 8) & 0xFF));
  SelectObject(dc, old);
  DeleteDC(dc);
  ReleaseDC(nullptr, screen);
  if (!OpenClipboardWithin(3000)) Fail("clipboard busy");
  EmptyClipboard();
  const bool set = SetClipboardData(CF_BITMAP, bitmap) != nullptr;
  CloseClipboard();
  Print(Json::Object()
            .Set("set", set)
            .Set("sequence", static_cast<long long>(GetClipboardSequenceNumber())));
  return 0;
}

int ClipboardClear(const Args& args) {
  if (!OpenClipboardWithin(static_cast<DWORD>(args.Int("timeout", 3000)))) Fail("clipboard busy");
  const bool emptied = EmptyClipboard() != 0;
  CloseClipboard();
  Print(Json::Object().Set("emptied", emptied));
  return 0;
}

// The sequence number alone: no open, so it never gets in a capture's way.
int ClipboardSequence(const Args&) {
  Print(Json::Object().Set("sequence", static_cast<long long>(GetClipboardSequenceNumber())));
  return 0;
}

// Opens and closes the clipboard again and again, briefly, as a clipboard
// viewer reading each new content does.
int PeekClipboard(const Args& args) {
  const DWORD until = GetTickCount() + static_cast<DWORD>(args.Int("seconds", 5) * 1000);
  const DWORD hold = static_cast<DWORD>(args.Int("hold-ms", 5));
  const DWORD pause = static_cast<DWORD>(args.Int("pause-ms", 5));
  long long opened = 0;
  Print(Json::Object().Set("peeking", true));
  while (static_cast<LONG>(until - GetTickCount()) > 0) {
    if (OpenClipboardWithin(0)) {
      ++opened;
      Sleep(hold);
      CloseClipboard();
    }
    Sleep(pause);
  }
  Print(Json::Object().Set("opened", opened));
  return 0;
}

// CRC-32 of the pixel bytes with the unused fourth byte of each pixel taken
// as 0: the harness computes the same over a BMP file's pixels.
std::uint32_t PixelCrc(const std::uint8_t* pixels, std::size_t size) {
  static std::uint32_t table[256];
  if (!table[1]) {
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      table[n] = c;
    }
  }
  std::uint32_t crc = 0xFFFFFFFFu;
  for (std::size_t i = 0; i < size; ++i) {
    const std::uint8_t byte = (i & 3) == 3 ? 0 : pixels[i];
    crc = table[(crc ^ byte) & 0xFF] ^ (crc >> 8);
  }
  return crc ^ 0xFFFFFFFFu;
}

// Reads the clipboard's image at every change, as a clipboard viewer or
// history tool does: one JSON line per change with the time the read took
// and a checksum of the pixels read (32-bit images). Ends after --seconds,
// with a summary.
int ClipboardReader(const Args& args) {
  const DWORD until = GetTickCount() + static_cast<DWORD>(args.Int("seconds", 10) * 1000);
  DWORD last = GetClipboardSequenceNumber();
  long long reads = 0, images = 0;
  double slowest = 0;
  LARGE_INTEGER frequency;
  QueryPerformanceFrequency(&frequency);
  auto now = [&] {
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return static_cast<double>(t.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
  };
  Print(Json::Object().Set("reading", true).Set("sequence", static_cast<long long>(last)));
  while (static_cast<LONG>(until - GetTickCount()) > 0) {
    const DWORD sequence = GetClipboardSequenceNumber();
    if (sequence == last) {
      Sleep(1);
      continue;
    }
    last = sequence;
    ++reads;
    const double start = now();
    Json read = Json::Object().Set("sequence", static_cast<long long>(sequence));
    if (OpenClipboardWithin(10000)) {
      HANDLE handle = GetClipboardData(CF_DIB);
      const auto* header =
          handle ? static_cast<const BITMAPINFOHEADER*>(GlobalLock(handle)) : nullptr;
      if (header) {
        const SIZE_T size = GlobalSize(handle);
        const DWORD masks = header->biCompression == BI_BITFIELDS ? 12 : 0;
        const std::size_t offset = header->biSize + masks;
        const std::size_t pixels =
            static_cast<std::size_t>(header->biWidth) * std::abs(header->biHeight) * 4;
        read.Set("width", static_cast<int>(header->biWidth))
            .Set("height", static_cast<int>(header->biHeight))
            .Set("bpp", static_cast<int>(header->biBitCount));
        if (header->biBitCount == 32 && size >= offset + pixels) {
          read.Set("crc", static_cast<long long>(PixelCrc(
                              reinterpret_cast<const std::uint8_t*>(header) + offset, pixels)));
          ++images;
        }
        GlobalUnlock(handle);
      }
      CloseClipboard();
    } else {
      read.Set("busy", true);
    }
    const double took = now() - start;
    slowest = took > slowest ? took : slowest;
    Print(read.Set("ms", took));
  }
  Print(Json::Object().Set("reads", reads).Set("images", images).Set("slowest_ms", slowest));
  return 0;
}

int GuiResources(const Args& args) {
  const std::vector<DWORD> pids = TargetPids(args);
  if (pids.empty()) Fail("no program process");
  HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pids.front());
  if (!process) Fail("cannot open process " + std::to_string(pids.front()));
  DWORD handles = 0;
  GetProcessHandleCount(process, &handles);
  PROCESS_MEMORY_COUNTERS_EX memory = {};
  memory.cb = sizeof memory;
  GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
  Print(Json::Object()
            .Set("pid", pids.front())
            .Set("gdi", GetGuiResources(process, GR_GDIOBJECTS))
            .Set("user", GetGuiResources(process, GR_USEROBJECTS))
            .Set("handles", handles)
            .Set("private_bytes", static_cast<unsigned long long>(memory.PrivateUsage))
            .Set("working_set", static_cast<unsigned long long>(memory.WorkingSetSize)));
  CloseHandle(process);
  return 0;
}

ProbeCommand holdCommand(
    "hold-clipboard", HoldClipboard,
    "hold-clipboard [--seconds S] [--copy TEXT]: keeps the clipboard open (then copies "
    "TEXT); prints 'held'");
ProbeCommand infoCommand("clipboard-info", ClipboardInfo,
                         "clipboard-info: formats on the clipboard, CF_BITMAP size and depth");
ProbeCommand saveCommand("clipboard-save", ClipboardSave,
                         "clipboard-save --path WINPATH: writes the clipboard's CF_DIB as .bmp");
ProbeCommand putCommand("clipboard-put-pattern", ClipboardPutPattern,
                        "clipboard-put-pattern [--w W --h H]: a CF_BITMAP of the fixture pattern");
ProbeCommand clearCommand("clipboard-clear", ClipboardClear,
                          "clipboard-clear: empties the clipboard");
ProbeCommand sequenceCommand("clipboard-sequence", ClipboardSequence,
                             "clipboard-sequence: the clipboard's sequence number (no open)");
ProbeCommand peekCommand("peek-clipboard", PeekClipboard,
                         "peek-clipboard [--seconds S --hold-ms H --pause-ms P]: opens the "
                         "clipboard for H ms every P ms, as a clipboard viewer does");
ProbeCommand readerCommand(
    "clipboard-reader", ClipboardReader,
    "clipboard-reader [--seconds S]: prints 'reading', then at every clipboard change reads its "
    "CF_DIB and prints the sequence number, the time the read took, the image's size and a CRC-32 "
    "of its pixels (fourth byte as 0); then a summary");
ProbeCommand resourcesCommand(
    "gui-resources", GuiResources,
    "gui-resources [--pid P]: GDI and USER object counts, handles, private bytes");

}  // namespace
}  // namespace probe
