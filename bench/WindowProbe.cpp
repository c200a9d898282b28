// Starts a windowed program on an X display, or under sway, and measures it from outside: the
// time to its first painted frame, the shared libraries it has mapped then, its processor time and wakeups while
// idle, its peak resident memory, how it ends on SIGTERM, and whether it leaves any process
// behind.
//
// Usage: deradu_window_probe [--sway] IDLE_SECONDS PROGRAM [ARGUMENTS...]
// Prints one "key=value" line per figure. Times are milliseconds from just before the fork.
// Under sway (--sway, SWAYSOCK set) the first frame is the moment sway maps the program's
// window, which it does on the first buffer the window commits.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

double nowMs() {
  timespec t{};
  clock_gettime(CLOCK_MONOTONIC, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

void sleepMs(double ms) {
  const auto nanoseconds = static_cast<long long>(ms * 1e6);
  timespec t{static_cast<time_t>(nanoseconds / 1000000000), static_cast<long>(nanoseconds % 1000000000)};
  while (nanosleep(&t, &t) != 0 && errno == EINTR) {
  }
}

// A window can vanish between finding and reading it; those errors are expected.
int ignoreErrors(Display*, XErrorEvent*) { return 0; }

long windowPid(Display* display, Window window) {
  static const Atom pidAtom = XInternAtom(display, "_NET_WM_PID", False);
  Atom type = None;
  int format = 0;
  unsigned long count = 0;
  unsigned long after = 0;
  unsigned char* data = nullptr;
  long pid = -1;
  if (XGetWindowProperty(display, window, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format,
                         &count, &after, &data) == Success &&
      data != nullptr) {
    if (format == 32 && count == 1) pid = static_cast<long>(*reinterpret_cast<unsigned long*>(data));
  }
  if (data != nullptr) XFree(data);
  return pid;
}

// The part of a window the probe reads: the game's client area at scale 1. A larger window
// (the game at scale 2) would otherwise cost every poll, and the server, more than the
// floor's, and time to its first frame would count the probe's own reading.
constexpr int kReadWidth = 471;
constexpr int kReadHeight = 401;

// True when the window is mapped and shows more than one colour in its top-left part:
// something was painted.
bool painted(Display* display, Window window) {
  XWindowAttributes attributes{};
  if (!XGetWindowAttributes(display, window, &attributes)) return false;
  if (attributes.map_state != IsViewable || attributes.width < 2 || attributes.height < 2) {
    return false;
  }
  const int width = std::min(attributes.width, kReadWidth);
  const int height = std::min(attributes.height, kReadHeight);
  XImage* image = XGetImage(display, window, 0, 0, static_cast<unsigned>(width),
                            static_cast<unsigned>(height), AllPlanes, ZPixmap);
  if (image == nullptr) return false;
  const unsigned long first = XGetPixel(image, 0, 0);
  bool varied = false;
  for (int y = 0; y < height && !varied; y += 3) {
    for (int x = 0; x < width; x += 3) {
      if (XGetPixel(image, x, y) != first) {
        varied = true;
        break;
      }
    }
  }
  XDestroyImage(image);
  return varied;
}

// Top-level windows of the process: children of the root and, under a window manager, their
// children.
bool anyWindowPainted(Display* display, long pid) {
  Window root = DefaultRootWindow(display);
  Window parent = 0;
  Window* children = nullptr;
  unsigned count = 0;
  if (!XQueryTree(display, root, &root, &parent, &children, &count)) return false;
  bool found = false;
  for (unsigned i = 0; i < count && !found; ++i) {
    if (windowPid(display, children[i]) == pid) {
      found = painted(display, children[i]);
      continue;
    }
    Window* inner = nullptr;
    unsigned innerCount = 0;
    Window innerRoot = 0;
    Window innerParent = 0;
    if (XQueryTree(display, children[i], &innerRoot, &innerParent, &inner, &innerCount)) {
      for (unsigned j = 0; j < innerCount && !found; ++j) {
        if (windowPid(display, inner[j]) == pid) found = painted(display, inner[j]);
      }
      if (inner != nullptr) XFree(inner);
    }
  }
  if (children != nullptr) XFree(children);
  return found;
}

// sway's IPC: "i3-ipc", the payload's length and the message type, then the payload.
bool swaySend(int fd, std::uint32_t type, const std::string& payload) {
  std::string message = "i3-ipc";
  const std::uint32_t header[2] = {static_cast<std::uint32_t>(payload.size()), type};
  message.append(reinterpret_cast<const char*>(header), sizeof header);
  message += payload;
  return write(fd, message.data(), message.size()) == static_cast<ssize_t>(message.size());
}

bool readExactly(int fd, char* data, std::size_t size) {
  while (size > 0) {
    const ssize_t got = read(fd, data, size);
    if (got <= 0) return false;
    data += got;
    size -= static_cast<std::size_t>(got);
  }
  return true;
}

std::string swayReceive(int fd) {
  char header[14];
  if (!readExactly(fd, header, sizeof header)) return {};
  std::uint32_t length = 0;
  std::memcpy(&length, header + 6, sizeof length);
  std::string payload(length, '\0');
  return readExactly(fd, payload.data(), length) ? payload : std::string{};
}

// A connection to sway that receives its window events, or -1.
int swayWindowEvents() {
  const char* path = std::getenv("SWAYSOCK");
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (path == nullptr || std::strlen(path) >= sizeof address.sun_path) return -1;
  std::strcpy(address.sun_path, path);
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  constexpr std::uint32_t kSubscribe = 2;
  if (fd < 0 || connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      !swaySend(fd, kSubscribe, R"(["window"])") ||
      swayReceive(fd).find("true") == std::string::npos) {
    if (fd >= 0) close(fd);
    return -1;
  }
  return fd;
}

// Waits up to `ms` for sway to map a window of process `pid`.
bool swayMapped(int fd, long pid, double ms) {
  pollfd ready{fd, POLLIN, 0};
  while (poll(&ready, 1, static_cast<int>(ms)) > 0) {
    const std::string event = swayReceive(fd);
    if (event.empty()) return false;
    const std::string ofPid = "\"pid\": " + std::to_string(pid);
    const auto at = event.find(ofPid);
    if (event.find(R"("change": "new")") != std::string::npos && at != std::string::npos &&
        !std::isdigit(static_cast<unsigned char>(event[at + ofPid.size()]))) {
      return true;
    }
  }
  return false;
}

std::string readFile(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// utime + stime of the whole process (all threads), in clock ticks.
long long cpuTicks(pid_t pid) {
  const std::string stat = readFile("/proc/" + std::to_string(pid) + "/stat");
  const auto close = stat.rfind(')');
  if (close == std::string::npos) return -1;
  std::istringstream fields(stat.substr(close + 2));
  std::string field;
  long long utime = 0;
  long long stime = 0;
  // Fields 3..15 of proc(5); utime and stime are 14 and 15.
  for (int i = 3; i <= 15 && fields >> field; ++i) {
    if (i == 14) utime = std::atoll(field.c_str());
    if (i == 15) stime = std::atoll(field.c_str());
  }
  return utime + stime;
}

long long statusValue(const std::string& status, const char* key) {
  const auto at = status.find(std::string(key) + ":");
  if (at == std::string::npos) return 0;
  return std::atoll(status.c_str() + at + std::strlen(key) + 1);
}

// Voluntary and involuntary context switches summed over every thread: each is a wakeup.
long long contextSwitches(pid_t pid, int* threads) {
  long long sum = 0;
  *threads = 0;
  std::error_code error;
  for (const auto& task :
       std::filesystem::directory_iterator("/proc/" + std::to_string(pid) + "/task", error)) {
    const std::string status = readFile(task.path().string() + "/status");
    sum += statusValue(status, "voluntary_ctxt_switches") +
           statusValue(status, "nonvoluntary_ctxt_switches");
    ++*threads;
  }
  return sum;
}

// Processes that carry the marker in their environment: the program and all it started.
std::vector<pid_t> markedProcesses(const std::string& marker) {
  std::vector<pid_t> found;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator("/proc", error)) {
    const std::string name = entry.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    std::ifstream in(entry.path() / "environ", std::ios::binary);
    std::string environment((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (environment.find(marker) != std::string::npos) found.push_back(std::atoi(name.c_str()));
  }
  return found;
}

}  // namespace

// Distinct shared objects the process has mapped: every file-backed mapping whose name carries
// ".so" (the dynamic loader and the libraries, not the program itself).
int sharedLibraries(pid_t pid) {
  std::istringstream maps(readFile("/proc/" + std::to_string(pid) + "/maps"));
  std::vector<std::string> seen;
  std::string line;
  while (std::getline(maps, line)) {
    const auto slash = line.find('/');
    if (slash == std::string::npos) continue;
    const std::string path = line.substr(slash);
    const std::string name = path.substr(path.rfind('/') + 1);
    if (name.find(".so") == std::string::npos) continue;
    bool known = false;
    for (const std::string& other : seen) known = known || other == path;
    if (!known) seen.push_back(path);
  }
  return static_cast<int>(seen.size());
}

int main(int argc, char** argv) {
  const bool sway = argc > 1 && std::strcmp(argv[1], "--sway") == 0;
  if (sway) {
    --argc;
    ++argv;
  }
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s [--sway] IDLE_SECONDS PROGRAM [ARGUMENTS...]\n", argv[0]);
    return 2;
  }
  const double idleSeconds = std::atof(argv[1]);
  Display* display = sway ? nullptr : XOpenDisplay(nullptr);
  const int swayEvents = sway ? swayWindowEvents() : -1;
  if (sway ? swayEvents < 0 : display == nullptr) {
    std::fprintf(stderr, sway ? "cannot reach sway\n" : "cannot open the display\n");
    return 2;
  }
  XSetErrorHandler(ignoreErrors);
  const std::string marker =
      "DERADU_PROBE_RUN=" + std::to_string(getpid()) + "-" + std::to_string(time(nullptr));

  const double start = nowMs();
  const pid_t pid = fork();
  if (pid == 0) {
    setsid();
    putenv(const_cast<char*>(marker.c_str()));
    execvp(argv[2], argv + 2);
    _exit(127);
  }

  // The first painted frame: polled every 2 ms.
  double firstFrame = -1;
  int status = 0;
  bool exited = false;
  while (nowMs() - start < 30000) {
    if (waitpid(pid, &status, WNOHANG) == pid) {
      exited = true;
      break;
    }
    if (sway ? swayMapped(swayEvents, pid, 2) : anyWindowPainted(display, pid)) {
      firstFrame = nowMs() - start;
      break;
    }
    if (!sway) sleepMs(2);
  }
  std::printf("first_frame_ms=%.1f\n", firstFrame);
  if (exited || firstFrame < 0) {
    std::printf("error=%s\n", exited ? "exited before painting" : "no painted window in 30 s");
    if (!exited) kill(pid, SIGKILL);
    return 1;
  }
  std::printf("libraries=%d\n", sharedLibraries(pid));

  // Idle: after a settling second, nothing happens for the given time.
  sleepMs(1000);
  int threads = 0;
  const long long cpuBefore = cpuTicks(pid);
  const long long switchesBefore = contextSwitches(pid, &threads);
  sleepMs(idleSeconds * 1000);
  const long long cpuAfter = cpuTicks(pid);
  const long long switchesAfter = contextSwitches(pid, &threads);
  const double tickMs = 1000.0 / static_cast<double>(sysconf(_SC_CLK_TCK));
  std::printf("idle_seconds=%.0f\n", idleSeconds);
  std::printf("idle_cpu_ms=%.0f\n", static_cast<double>(cpuAfter - cpuBefore) * tickMs);
  std::printf("idle_wakeups=%lld\n", switchesAfter - switchesBefore);
  std::printf("threads=%d\n", threads);
  const std::string status_text = readFile("/proc/" + std::to_string(pid) + "/status");
  std::printf("peak_rss_kb=%lld\n", statusValue(status_text, "VmHWM"));

  // SIGTERM, as a session ending would send it.
  const double termAt = nowMs();
  kill(pid, SIGTERM);
  while (nowMs() - termAt < 10000) {
    if (waitpid(pid, &status, WNOHANG) == pid) {
      exited = true;
      break;
    }
    sleepMs(2);
  }
  if (!exited) {
    std::printf("exit=did not end within 10 s of SIGTERM\n");
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
  } else if (WIFEXITED(status)) {
    std::printf("exit=code %d\n", WEXITSTATUS(status));
  } else {
    std::printf("exit=signal %d\n", WTERMSIG(status));
  }
  std::printf("exit_ms=%.1f\n", nowMs() - termAt);

  // Anything the program started must be gone with it; give stragglers a moment.
  sleepMs(500);
  std::vector<pid_t> left = markedProcesses(marker);
  std::string names;
  for (pid_t other : left) {
    std::string name = readFile("/proc/" + std::to_string(other) + "/comm");
    if (!name.empty() && name.back() == '\n') name.pop_back();
    names += (names.empty() ? "" : ",") + name + "(" + std::to_string(other) + ")";
    // Only processes this probe's child started carry the marker.
    kill(other, SIGKILL);
  }
  std::printf("left_behind=%s\n", names.empty() ? "none" : names.c_str());
  if (display != nullptr) XCloseDisplay(display);
  return 0;
}
