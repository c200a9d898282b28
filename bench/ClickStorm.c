/* Random left clicks into the game's window, for measuring what a long play does to its memory:
   `click-storm WINDOW PID COUNT SEED` sends COUNT press/release pairs at random points of a
   864 x 401 area (the wide window; clicks past a narrow window land nowhere). Synthetic events
   go straight to the window, far faster than a pointer driven through XTest, so they go in
   batches, each sent once the program has stopped using processor time for the one before, as
   a player never outpaces it. C with libX11 alone, built by bench/run.sh. */
#include <X11/Xlib.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

enum { kWidth = 864, kHeight = 401, kBatch = 250 };

static void send(Display* display, Window window, int type, int x, int y) {
  XEvent event = {0};
  event.xbutton.type = type;
  event.xbutton.display = display;
  event.xbutton.window = window;
  event.xbutton.root = DefaultRootWindow(display);
  event.xbutton.x = x;
  event.xbutton.y = y;
  event.xbutton.button = Button1;
  event.xbutton.state = type == ButtonRelease ? Button1Mask : 0;
  event.xbutton.same_screen = True;
  XSendEvent(display, window, False, type == ButtonPress ? ButtonPressMask : ButtonReleaseMask,
             &event);
}

/* User plus system clock ticks of the process, -1 once it is gone. */
static long long processorTicks(const char* statPath) {
  FILE* file = fopen(statPath, "r");
  if (file == NULL) return -1;
  unsigned long long user = 0, system = 0;
  const int read = fscanf(file, "%*d %*s %*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu",
                          &user, &system);
  fclose(file);
  return read == 2 ? (long long)(user + system) : -1;
}

static void waitUntilIdle(const char* statPath) {
  const struct timespec pause = {0, 20 * 1000 * 1000};
  long long before = processorTicks(statPath);
  for (;;) {
    nanosleep(&pause, NULL);
    const long long now = processorTicks(statPath);
    if (now == before) return;
    before = now;
  }
}

int main(int argc, char** argv) {
  if (argc != 5) return 2;
  Display* display = XOpenDisplay(NULL);
  if (display == NULL) return 2;
  const Window window = (Window)strtoul(argv[1], NULL, 0);
  char statPath[64];
  snprintf(statPath, sizeof statPath, "/proc/%ld/stat", strtol(argv[2], NULL, 10));
  const long count = strtol(argv[3], NULL, 10);
  srand((unsigned)strtoul(argv[4], NULL, 10));
  for (long i = 0; i < count; ++i) {
    const int x = rand() % kWidth;
    const int y = rand() % kHeight;
    send(display, window, ButtonPress, x, y);
    send(display, window, ButtonRelease, x, y);
    if (i % kBatch == kBatch - 1 || i == count - 1) {
      XSync(display, False);
      waitUntilIdle(statPath);
    }
  }
  XCloseDisplay(display);
  return 0;
}
