// Clicks through a VNC server (wayvnc), which hands them to a headless compositor's seat: the
// only pointer such a seat has. Speaks just enough RFB 3.8 for that: no security, a shared
// session, then pointer events.
//
//   rfb_click SOCKET X,Y[,BUTTONS]...
//
// SOCKET is a UNIX socket's path; X, Y are the server's framebuffer pixels (the output's
// physical pixels). Each point is a move, a press of BUTTONS (an RFB mask: 1 left, 4 right; 1
// unless given) and a release; BUTTONS 0 only moves. Exit code 2 on wrong arguments, 1 when
// the server cannot be reached or refuses.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

bool readAll(int fd, void* data, std::size_t size) {
  auto* bytes = static_cast<unsigned char*>(data);
  while (size > 0) {
    const ssize_t got = read(fd, bytes, size);
    if (got <= 0) return false;
    bytes += got;
    size -= static_cast<std::size_t>(got);
  }
  return true;
}

bool writeAll(int fd, const void* data, std::size_t size) {
  const auto* bytes = static_cast<const unsigned char*>(data);
  while (size > 0) {
    const ssize_t put = write(fd, bytes, size);
    if (put <= 0) return false;
    bytes += put;
    size -= static_cast<std::size_t>(put);
  }
  return true;
}

std::uint32_t bigEndian32(const unsigned char* bytes) {
  return std::uint32_t{bytes[0]} << 24 | std::uint32_t{bytes[1]} << 16 |
         std::uint32_t{bytes[2]} << 8 | bytes[3];
}

// Version, security type None, its result, ClientInit (shared) and the server's reply.
bool handshake(int fd) {
  char version[12];
  if (!readAll(fd, version, sizeof version) || std::memcmp(version, "RFB 003.", 8) != 0) {
    return false;
  }
  if (!writeAll(fd, "RFB 003.008\n", 12)) return false;
  unsigned char count = 0;
  if (!readAll(fd, &count, 1) || count == 0) return false;
  unsigned char types[255];
  if (!readAll(fd, types, count) || std::memchr(types, 1, count) == nullptr) return false;
  const unsigned char none = 1;
  const unsigned char shared = 1;
  unsigned char result[4];
  if (!writeAll(fd, &none, 1) || !readAll(fd, result, 4) || bigEndian32(result) != 0) return false;
  if (!writeAll(fd, &shared, 1)) return false;
  // ServerInit: size, pixel format, then the desktop's name.
  unsigned char init[24];
  if (!readAll(fd, init, sizeof init)) return false;
  std::string name(bigEndian32(init + 20), '\0');
  return readAll(fd, name.data(), name.size());
}

bool pointer(int fd, unsigned buttons, unsigned x, unsigned y) {
  const unsigned char event[6] = {5, static_cast<unsigned char>(buttons),
                                  static_cast<unsigned char>(x >> 8), static_cast<unsigned char>(x),
                                  static_cast<unsigned char>(y >> 8), static_cast<unsigned char>(y)};
  return writeAll(fd, event, sizeof event);
}

}  // namespace

int main(int argc, char** argv) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (argc < 3 || std::strlen(argv[1]) >= sizeof address.sun_path) {
    std::fprintf(stderr, "usage: rfb_click SOCKET X,Y[,BUTTONS]...\n");
    return 2;
  }
  std::strcpy(address.sun_path, argv[1]);
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  if (fd < 0 || connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      !handshake(fd)) {
    std::fprintf(stderr, "rfb_click: no VNC session at %s\n", argv[1]);
    return 1;
  }
  for (int i = 2; i < argc; ++i) {
    unsigned x = 0;
    unsigned y = 0;
    unsigned buttons = 1;
    char end = 0;
    const int fields = std::sscanf(argv[i], "%u,%u,%u%c", &x, &y, &buttons, &end);
    if (fields < 2 || fields > 3 || x > 0xFFFF || y > 0xFFFF || buttons > 0xFF) {
      std::fprintf(stderr, "rfb_click: not a point: %s\n", argv[i]);
      return 2;
    }
    const bool sent = pointer(fd, 0, x, y) &&
                      (buttons == 0 || (pointer(fd, buttons, x, y) && pointer(fd, 0, x, y)));
    if (!sent) return 1;
  }
  close(fd);
  return 0;
}
