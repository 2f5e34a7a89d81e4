// vistrel_x_read: the screen read as a native X client makes it, to set
// against the read under Wine (a BitBlt from the desktop). Wine 8 reads the
// screen with a plain XGetImage, the pixels coming through the X socket;
// XShmGetImage is the same read through shared memory, for comparison.
// Prints one JSON line of milliseconds per read.
//
//   vistrel_x_read [--runs N] [--x X --y Y --width W --height H]
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <X11/extensions/XShm.h>
#include <sys/ipc.h>
#include <sys/shm.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

double NowMs() {
  using namespace std::chrono;
  return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

std::string Times(const std::vector<double>& values) {
  std::string out = "[";
  char buf[32];
  for (std::size_t i = 0; i < values.size(); ++i) {
    std::snprintf(buf, sizeof buf, "%s%.3f", i ? "," : "", values[i]);
    out += buf;
  }
  return out + "]";
}

}  // namespace

int main(int argc, char** argv) {
  int runs = 20, x = 0, y = 0, width = 0, height = 0;
  for (int i = 1; i + 1 < argc; i += 2) {
    const int value = std::atoi(argv[i + 1]);
    if (!std::strcmp(argv[i], "--runs")) runs = value;
    if (!std::strcmp(argv[i], "--x")) x = value;
    if (!std::strcmp(argv[i], "--y")) y = value;
    if (!std::strcmp(argv[i], "--width")) width = value;
    if (!std::strcmp(argv[i], "--height")) height = value;
  }
  Display* display = XOpenDisplay(nullptr);
  if (!display) {
    std::puts("{\"error\": \"cannot open the display\"}");
    return 2;
  }
  const int screen = DefaultScreen(display);
  const Window root = RootWindow(display, screen);
  if (width <= 0) width = DisplayWidth(display, screen);
  if (height <= 0) height = DisplayHeight(display, screen);

  // Interleaved, so a slower spell of the machine weighs on both alike.
  std::vector<double> plain, shm;
  XShmSegmentInfo segment = {};
  XImage* shared = nullptr;
  if (XShmQueryExtension(display)) {
    shared = XShmCreateImage(display, DefaultVisual(display, screen), DefaultDepth(display, screen),
                             ZPixmap, nullptr, &segment, width, height);
    segment.shmid = shmget(IPC_PRIVATE, shared->bytes_per_line * shared->height, IPC_CREAT | 0600);
    segment.shmaddr = shared->data = static_cast<char*>(shmat(segment.shmid, nullptr, 0));
    segment.readOnly = False;
    XShmAttach(display, &segment);
    XSync(display, False);
    shmctl(segment.shmid, IPC_RMID, nullptr);
  }
  for (int i = 0; i < runs; ++i) {
    const double t0 = NowMs();
    XImage* image = XGetImage(display, root, x, y, width, height, AllPlanes, ZPixmap);
    const double t1 = NowMs();
    if (!image) {
      std::puts("{\"error\": \"XGetImage failed\"}");
      return 2;
    }
    XDestroyImage(image);
    plain.push_back(t1 - t0);
    if (shared) {
      const double t2 = NowMs();
      XShmGetImage(display, root, shared, x, y, AllPlanes);
      shm.push_back(NowMs() - t2);
    }
  }
  if (shared) {
    XShmDetach(display, &segment);
    XDestroyImage(shared);
    shmdt(segment.shmaddr);
  }
  XCloseDisplay(display);
  std::printf("{\"width\": %d, \"height\": %d, \"xgetimage\": %s, \"xshmgetimage\": %s}\n", width,
              height, Times(plain).c_str(), Times(shm).c_str());
  return 0;
}
