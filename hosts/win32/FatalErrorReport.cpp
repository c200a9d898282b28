// The report of a failure the program cannot go on after: the system's message, then the end.
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

void fatalErrorReport(const char* name) {
  const DWORD code = GetLastError();
  {
    const SystemText systemText(code);
    const std::string text = fatalErrorText(name, static_cast<int>(code), systemText.get());
    MessageBoxA(nullptr, text.c_str(), "Error", MB_OK);
  }
  ExitProcess(code);
}

void outOfMemoryReport() {
  static constexpr char kLine[] = "deradu: out of memory";
  // A program started from a console or under Wine has a stderr; elsewhere the write fails
  // quietly and the message box still tells. Neither needs memory of ours.
  std::fputs(kLine, stderr);
  std::fputs("\n", stderr);
  std::fflush(stderr);
  MessageBoxA(nullptr, kLine, "Error", MB_OK);
  ExitProcess(static_cast<UINT>(host::kFatalExitCode));
}
