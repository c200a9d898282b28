// Running a fuzz input through the window procedure with the soak's checks.
#include "windowproc_input.h"

#include "app/Application.h"
#include "app/ApplicationState.h"
#include "hosts/headless/HeadlessHost.h"
#include "platform/messages.h"
#include "gfx/resources/ResourceStore.h"
#include "gfx/TextRenderer.h"
#include "tests/app/MessageSource.h"
#include "tests/app/ProgramInvariants.h"

namespace {

// One font cache for every input, like the system's.
TextRenderer& sharedText() {
  static TextRenderer text;
  return text;
}

}  // namespace

std::string checkWindowProcInput(const std::uint8_t* data, std::size_t size) {
  Application app;
  HeadlessHost host(app, &ResourceStore::builtIn(), &sharedText());
  // The application has no settings file: none is read, and none would be written.
  host.setTime(1700000000);
  if (!app.start(host)) return "the window was not created";

  std::size_t position = 0;
  // Past the end the stream reads zeros, so the last message is always complete.
  MessageSource source([&] { return position < size ? data[position++] : std::uint8_t{0}; });
  source.setBlankCell([&app] { return blankCell(app.state().board); });
  int count = 0;
  std::string failure = sendAndCheck(app, host, {msg::kTimer, 111, 0});
  // Every message takes at least one byte, so this ends.
  while (failure.empty() && position < size) {
    const WindowMessage message = source.next();
    failure = sendAndCheck(app, host, message);
    if (!failure.empty()) {
      return "message " + std::to_string(count) + " (" + describe(message) + "): " + failure;
    }
    ++count;
  }
  return failure;
}
