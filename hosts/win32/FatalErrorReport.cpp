// The report of a failure the program cannot go on after: said on stderr and in a message box.
#include "hosts/win32/FatalErrorReport.h"

#include <cstdio>
#include <cstring>

#include "platform/hostConstants.h"
#include "hosts/win32/Win32Api.h"

namespace {

// The system allocates FormatMessageA's buffer; LocalFree gives it back.
class SystemText {
 public:
  explicit SystemText(DWORD code) {
    // The buffer's address is written through the pointer passed as the buffer argument.
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_ALLOCATE_BUFFER, nullptr, code,
                   MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<LPSTR>(&text_), 0,
                   nullptr);
  }
  ~SystemText() {
    if (text_ != nullptr) LocalFree(text_);
  }
  SystemText(const SystemText&) = delete;
  SystemText& operator=(const SystemText&) = delete;

  const char* get() const { return text_; }

 private:
  char* text_ = nullptr;
};

}  // namespace

std::string fatalErrorText(const char* name, int code, const char* systemText) {
  static constexpr char kFormat[] = "%s failed with error %d: %s";
  const char* shownName = name != nullptr ? name : "";
  const char* shownText = systemText != nullptr ? systemText : "";
  // Sized from the pieces: the format's own characters, up to 11 for the code, and both texts.
  std::string text(std::strlen(kFormat) + 11 + std::strlen(shownName) + std::strlen(shownText),
                   '\0');
  const int written =
      std::snprintf(text.data(), text.size() + 1, kFormat, shownName, code, shownText);
  text.resize(written > 0 ? static_cast<std::size_t>(written) : 0);
  return text;
}

std::string lastErrorText(const char* name) {
  const DWORD code = GetLastError();
  const SystemText systemText(code);
  return fatalErrorText(name, static_cast<int>(code), systemText.get());
}

void reportFatalError(const char* text) {
  // One line: the system's own text ends in a line break.
  std::size_t length = std::strlen(text);
  while (length > 0 && (text[length - 1] == '\n' || text[length - 1] == '\r')) --length;
  std::fwrite(text, 1, length, stderr);
  std::fputc('\n', stderr);
  std::fflush(stderr);
  MessageBoxA(nullptr, text, "Error", MB_OK);
}

void endWithFatalError(const char* text) {
  reportFatalError(text);
  ExitProcess(static_cast<UINT>(host::kFatalExitCode));
}
