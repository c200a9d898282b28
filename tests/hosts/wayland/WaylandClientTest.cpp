// The connection's start: libwayland-client is mapped only once a socket is there to try.
#include "hosts/wayland/WaylandClient.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace {

bool libraryMapped() {
  std::ifstream maps("/proc/self/maps");
  const std::string text{std::istreambuf_iterator<char>(maps), {}};
  return text.find("libwayland-client") != std::string::npos;
}

TEST(WaylandClient, LibraryOpenedOnlyForASocketAndItsAbsenceMeansNoWayland) {
  const std::string folder = testing::TempDir() + "wayland-client-test";
  std::filesystem::remove_all(folder);
  std::filesystem::create_directories(folder);
  std::ofstream(folder + "/plain-file") << "x";
  // Bound, never listening: the connection is refused, so a real library gives up at once.
  const int server = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const std::string path = folder + "/wayland-0";
  path.copy(address.sun_path, sizeof address.sun_path - 1);
  ASSERT_EQ(bind(server, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
  unsetenv("WAYLAND_SOCKET");
  struct Case {
    const char* name;
    const char* runtime;  // nullptr: unset
    const char* display;
    const char* library;
    bool mappedAfter;
  };
  // In this order: the last maps the library for the rest of the process.
  const std::vector<Case> cases = {
      {"no runtime folder", nullptr, nullptr, "libwayland-client.so.0", false},
      {"no socket of that name", folder.c_str(), "wayland-1", "libwayland-client.so.0", false},
      {"a file, not a socket", folder.c_str(), "plain-file", "libwayland-client.so.0", false},
      {"a socket, no library", folder.c_str(), nullptr, "libwayland-client.so.404", false},
      {"a socket and the library", folder.c_str(), nullptr, "libwayland-client.so.0", true},
  };
  for (const Case& c : cases) {
    for (const auto& [name, value] : {std::pair{"XDG_RUNTIME_DIR", c.runtime},
                                      std::pair{"WAYLAND_DISPLAY", c.display}}) {
      if (value != nullptr) setenv(name, value, 1);
      else unsetenv(name);
    }
    EXPECT_EQ(WaylandClient::connect(c.library), nullptr) << c.name;
    EXPECT_EQ(libraryMapped(), c.mappedAfter) << c.name;
  }
  close(server);
}

}  // namespace
