#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>

#include "capture/capture_win.h"
#include "capture/window_frame_win.h"

namespace vistrel {
namespace {

// A window drawn by the GPU as Windows 10 and 11 show it: its own device
// context holds black (the surface a DirectX or DirectComposition window never
// draws into), and what the user sees is the compositor's, above it. The
// stand-in: a window that paints itself black, and a popup it owns, laid over
// its client area without taking the activation, that shows the content.
constexpr COLORREF kShown = RGB(0x30, 0xA0, 0x60);

LRESULT CALLBACK PaintWithOwnBrush(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_PAINT) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    RECT client;
    GetClientRect(window, &client);
    FillRect(dc, &client, reinterpret_cast<HBRUSH>(GetWindowLongPtrW(window, GWLP_USERDATA)));
    EndPaint(window, &ps);
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

HWND MakeWindow(DWORD exStyle, DWORD style, const RECT& r, HWND owner, HBRUSH brush) {
  static const ATOM kClass = [] {
    WNDCLASSW wc = {};
    wc.lpfnWndProc = &PaintWithOwnBrush;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"VistrelGpuStandIn";
    return RegisterClassW(&wc);
  }();
  HWND window =
      CreateWindowExW(exStyle, MAKEINTATOM(kClass), L"", style, r.left, r.top, r.right - r.left,
                      r.bottom - r.top, owner, nullptr, GetModuleHandleW(nullptr), nullptr);
  SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(brush));
  return window;
}

// Handles the test thread's messages until the condition holds or 10 s pass.
template <typename Condition>
bool PumpUntil(Condition condition) {
  const DWORD start = GetTickCount();
  while (!condition()) {
    if (GetTickCount() - start > 10000) return false;
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
    Sleep(10);
  }
  return true;
}

COLORREF PixelOf(HWND window, int x, int y) {
  HDC dc = GetDC(window);
  const COLORREF pixel = GetPixel(dc, x, y);
  ReleaseDC(window, dc);
  return pixel;
}

TEST(WindowContent, OfAWindowDrawnByTheGpuIsWhatTheScreenShows) {
  HBRUSH shownBrush = CreateSolidBrush(kShown);
  HWND window = MakeWindow(0, WS_OVERLAPPEDWINDOW | WS_VISIBLE, {100, 100, 420, 330}, nullptr,
                           static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  ASSERT_TRUE(window);
  SetForegroundWindow(window);
  ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == window; }));
  const RECT client = ClientArea(window);
  HWND composed =
      MakeWindow(WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, WS_POPUP, client, window, shownBrush);
  ShowWindow(composed, SW_SHOWNOACTIVATE);
  const int middleX = (client.left + client.right) / 2, middleY = (client.top + client.bottom) / 2;
  ASSERT_TRUE(PumpUntil([&] { return PixelOf(nullptr, middleX, middleY) == kShown; }))
      << "the content on the screen";
  ASSERT_EQ(PixelOf(window, 5, 5), RGB(0, 0, 0)) << "the window's own device context is black";
  ASSERT_EQ(GetForegroundWindow(), window);

  Capturer capturer;
  capturer.Create();
  const std::shared_ptr<const Picture> capture = capturer.Grab(CaptureMode::WindowContent);
  capturer.Close();
  ASSERT_EQ(capture->Width(), client.right - client.left);
  ASSERT_EQ(capture->Height(), client.bottom - client.top);
  const std::uint32_t shown =
      GetRValue(kShown) << 16 | GetGValue(kShown) << 8 | GetBValue(kShown);  // blue first in memory
  const auto* pixels = reinterpret_cast<const std::uint32_t*>(capture->Bits());
  int others = 0;
  for (int i = 0; i < capture->Width() * capture->Height(); ++i)
    others += (pixels[i] & 0x00FFFFFFu) != shown;
  EXPECT_EQ(others, 0) << "every pixel as the screen shows it";

  DestroyWindow(composed);
  DestroyWindow(window);
  DeleteObject(shownBrush);
}

}  // namespace
}  // namespace vistrel
