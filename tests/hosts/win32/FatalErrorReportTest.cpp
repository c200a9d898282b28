// The fatal error report's text: name, code and the whole system message, however long.
#include <gtest/gtest.h>

#include <string>

#include "hosts/win32/FatalErrorReport.h"

namespace {

TEST(FatalErrorReport, TextHoldsNameCodeAndTheWholeSystemMessage) {
  const std::string longMessage(5000, 'x');
  struct Case {
    const char* name;
    int code;
    const char* systemText;
    std::string expected;
  };
  const Case cases[] = {
      {"Main1", 1410, "Class already exists.\r\n",
       "Main1 failed with error 1410: Class already exists.\r\n"},
      {"Main1", -1, "", "Main1 failed with error -1: "},
      {nullptr, 5, nullptr, " failed with error 5: "},
      {"Main1", 2147483647, longMessage.c_str(),
       "Main1 failed with error 2147483647: " + longMessage},
      {"Main1", -2147483647 - 1, "%s%d%n", "Main1 failed with error -2147483648: %s%d%n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(fatalErrorText(c.name, c.code, c.systemText), c.expected) << c.code;
  }
}

}  // namespace
