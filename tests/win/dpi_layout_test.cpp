// The windows laid out again when the monitor they are on has another scale:
// the system sends WM_DPICHANGED with the new DPI and the rectangle it
// suggests, which Wine never does, so the tests send it themselves.
#include <gtest/gtest.h>

#include <span>
#include <string>
#include <vector>

#include "about/about_layout.h"
#include "about/about_window_win.h"
#include "app/preview_layout.h"
#include "app/preview_window_win.h"
#include "settings/preferences_layout.h"
#include "settings/preferences_window_win.h"
#include "toolkit/application_win.h"
#include "toolkit/dpi_win.h"

namespace vistrel {
namespace {

struct Table {
  std::span<const LayoutEntry> layout;
  FontStyle font;
  int clientWidth, clientHeight;
};

RECT Scaled(const RECT& r, int dpi) {
  return {ScaleToDpi(r.left, dpi), ScaleToDpi(r.top, dpi), ScaleToDpi(r.right, dpi),
          ScaleToDpi(r.bottom, dpi)};
}

// The entry's rectangle in the window's client area at 96 DPI.
RECT TableRect(std::span<const LayoutEntry> layout, const LayoutEntry& entry) {
  int left = entry.left, top = entry.top;
  for (const LayoutEntry* parent = ParentOf(layout, entry); parent;
       parent = ParentOf(layout, *parent)) {
    left += parent->left;
    top += parent->top;
  }
  return {left, top, left + entry.width, top + entry.height};
}

std::string Text(const RECT& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
         "," + std::to_string(r.bottom);
}

// Every control where the table puts it at that DPI, with its font's height.
void ExpectLaidOutAt(HWND form, const Table& table, int dpi) {
  RECT client = {};
  GetClientRect(form, &client);
  EXPECT_EQ(client.right, ScaleToDpi(table.clientWidth, dpi));
  EXPECT_EQ(client.bottom, ScaleToDpi(table.clientHeight, dpi));
  for (const LayoutEntry& entry : table.layout) {
    HWND control = GetDlgItem(form, entry.id);
    ASSERT_TRUE(control) << entry.name;
    RECT r = {};
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(Text(r), Text(Scaled(TableRect(table.layout, entry), dpi))) << entry.name;
    // The form's own windows choose their fonts; a slider draws no text.
    if (entry.kind == ControlKind::Custom || entry.kind == ControlKind::TrackBar) continue;
    LOGFONTW font = {};
    HGDIOBJ handle = reinterpret_cast<HGDIOBJ>(SendMessageW(control, WM_GETFONT, 0, 0));
    ASSERT_TRUE(handle && GetObjectW(handle, sizeof font, &font)) << entry.name;
    EXPECT_EQ(font.lfHeight, -ScaleToDpi(EntryFont(table.font, entry.font).height, dpi))
        << entry.name;
  }
}

// A move to a monitor at 150 %, then back to one at the system's scale.
void ExpectRelaidOutOnDpiChanges(HWND form, const Table& table) {
  const int start = ScreenDpi();
  ExpectLaidOutAt(form, table, start);
  RECT before = {};
  GetWindowRect(form, &before);
  RECT suggested = {before.left + 300, before.top + 40, before.right + 300, before.bottom + 40};
  SendMessageW(form, WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
  ExpectLaidOutAt(form, table, 144);
  RECT after = {};
  GetWindowRect(form, &after);
  EXPECT_EQ(after.left, suggested.left) << "where the system suggests";
  EXPECT_EQ(after.top, suggested.top);
  SendMessageW(form, WM_DPICHANGED, MAKEWPARAM(start, start), reinterpret_cast<LPARAM>(&before));
  ExpectLaidOutAt(form, table, start);
}

class DpiLayout : public testing::Test {
 protected:
  Application app_{"Vistrel"};
};

TEST_F(DpiLayout, ThePreferencesAreLaidOutForTheirMonitorsDpi) {
  PreferencesWindow window;
  window.Create(app_, {"F12", "F11"}, {[] {}, [] {}, [] {}});
  ExpectRelaidOutOnDpiChanges(window.Handle(), {prefs::Layout(), prefs::WindowFont(),
                                                prefs::kClientWidth, prefs::kClientHeight});
  window.Destroy();
}

TEST_F(DpiLayout, TheAboutWindowIsLaidOutForItsMonitorsDpi) {
  AboutWindow window;
  window.Create(app_, [] {});
  ExpectRelaidOutOnDpiChanges(window.Handle(), {about::Layout(), about::WindowFont(),
                                                about::kClientWidth, about::kClientHeight});
  window.Destroy();
}

TEST_F(DpiLayout, ThePreviewWindowIsLaidOutForItsMonitorsDpi) {
  PreviewWindow window;
  window.Create(app_, {.onArm = [] {},
                       .onSettings = [] {},
                       .onQuit = [] {},
                       .onRestore = [] {},
                       .onTrayConfig = [] {},
                       .onPollTick = [] {},
                       .onTrayRetry = [] {},
                       .onTrayEvent = [](LPARAM) { return true; },
                       .readJpegQuality = [] { return 100; }});
  ExpectRelaidOutOnDpiChanges(
      window.Handle(), {preview::kLayout, preview::kFont, preview::kWidth, preview::kHeight});
  window.Destroy();
}

}  // namespace
}  // namespace vistrel
