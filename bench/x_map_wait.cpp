// vistrel_x_map_wait: reports each map and unmap of a top-level X window of
// that name with its time on the monotonic clock (the one Python's
// time.monotonic() reads), so start-up to the tray icon is timed to the
// event instead of to the next look at the window tree. A window may be
// mapped and unmapped again before its last map: the caller takes the last.
//
//   vistrel_x_map_wait NAME    prints {"event": "ready"}, then one line per
//                              event, {"mapped_ms": T} or {"unmapped_ms": T},
//                              until it is ended
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
    // Synthetic events are a client's word (ICCCM's withdrawal), not the server's.
    if ((event.type != MapNotify && event.type != UnmapNotify) || event.xany.send_event) continue;
    const double at = MonotonicMs();
    const Window window = event.type == MapNotify ? event.xmap.window : event.xunmap.window;
    if (!Named(display, window, argv[1])) continue;
    std::printf("{\"%s\": %.3f, \"window\": %lu}\n",
                event.type == MapNotify ? "mapped_ms" : "unmapped_ms", at, window);
    std::fflush(stdout);
  }
}
