// A Windows error code in words: the system's text on one line, without its
// closing period, so that the program's reason can go on after it.

#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "text/win32_error_text.h"

namespace kelvry {
namespace {

struct TErrorCase {
  const char* name;
  unsigned long code;
};

class Win32ErrorText : public testing::TestWithParam<TErrorCase> {};

TEST_P(Win32ErrorText, IsTheSystemsTextOnOneLineWithoutItsPeriod) {
  const std::string text = win32ErrorText(GetParam().code);
  ASSERT_FALSE(text.empty());
  EXPECT_NE(text, "error " + std::to_string(GetParam().code));
  EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << text;
  EXPECT_NE(text.back(), '.') << text;
  EXPECT_NE(text.back(), ' ') << text;
}

INSTANTIATE_TEST_SUITE_P(Codes, Win32ErrorText,
                         testing::Values(TErrorCase{"FileNotFound", ERROR_FILE_NOT_FOUND},
                                         TErrorCase{"PathNotFound", ERROR_PATH_NOT_FOUND},
                                         TErrorCase{"AccessDenied", ERROR_ACCESS_DENIED},
                                         TErrorCase{"SharingViolation", ERROR_SHARING_VIOLATION}),
                         [](const testing::TestParamInfo<TErrorCase>& param) { return param.param.name; });

TEST(Win32ErrorTextUnknown, IsTheNumberWhereTheSystemHasNoText) {
  // No system message has this number (customer codes have bit 29 set).
  constexpr unsigned long kUnknown = 0x2000FFFFul;
  EXPECT_EQ(win32ErrorText(kUnknown), "error " + std::to_string(kUnknown));
}

}  // namespace
}  // namespace kelvry
