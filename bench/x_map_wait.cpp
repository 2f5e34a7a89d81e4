// vistrel_x_map_wait: waits for a top-level X window of that name to be
// mapped and prints when, on the monotonic clock (the one Python's
// time.monotonic() reads), so start-up to the tray icon is timed to the
// event instead of to the next look at the window tree.
//
//   vistrel_x_map_wait NAME    prints {"event": "ready"}, then
//                              {"mapped_ms": T} at the window's map
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <cstdio>
#include <cstring>
#include <ctime>

namespace {

double MonotonicMs() {
  timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1000.0 + t.tv_nsec / 1e6;
}

bool Named(Display* display, Window window, const char* name) {
  char* title = nullptr;
  const bool same = XFetchName(display, window, &title) && title && !std::strcmp(title, name);
  if (title) XFree(title);
  return same;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: vistrel_x_map_wait NAME\n", stderr);
    return 1;
  }
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::puts("{\"error\": \"cannot open the display\"}");
    return 2;
  }
  XSelectInput(display, DefaultRootWindow(display), SubstructureNotifyMask);
  XSync(display, False);
  std::puts("{\"event\": \"ready\"}");
  std::fflush(stdout);
  for (;;) {
    XEvent event;
    XNextEvent(display, &event);
    if (event.type != MapNotify) continue;
    const double at = MonotonicMs();
    if (!Named(display, event.xmap.window, argv[1])) continue;
    std::printf("{\"mapped_ms\": %.3f}\n", at);
    std::fflush(stdout);
    break;
  }
  XCloseDisplay(display);
  return 0;
}
