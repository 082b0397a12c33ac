// The reason of the last failed call, as the update file reader names it.

#include <gtest/gtest.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string>

#ifdef _WIN32
#include <windows.h>
#endif

#include "text/system_error_text.h"

namespace kelvry {
namespace {

// Opening a file in a folder that is not there fails on every system.
void failToOpenAMissingFile() {
  const std::FILE* file = std::fopen("kelvry-no-such-folder/no-such-file.upd", "rb");
  ASSERT_EQ(file, nullptr);
#ifdef _WIN32
  ASSERT_TRUE(CreateFileW(L"kelvry-no-such-folder\\no-such-file.upd", GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                          FILE_ATTRIBUTE_NORMAL, nullptr) == INVALID_HANDLE_VALUE);
#endif
}

TEST(LastSystemErrorText, NamesTheReasonOfTheLastFailedCall) {
  failToOpenAMissingFile();
#ifdef _WIN32
  const DWORD error = GetLastError();
  ASSERT_EQ(error, static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
  const std::string text = lastSystemErrorText();
  EXPECT_NE(text, "error 3") << "the system has a text for it";
#else
  const int error = errno;
  ASSERT_EQ(error, ENOENT);
  const std::string text = lastSystemErrorText();
  EXPECT_EQ(text, std::strerror(ENOENT));
#endif
  ASSERT_FALSE(text.empty());
  EXPECT_NE(text.back(), '.') << text;
  EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << text;
}

}  // namespace
}  // namespace kelvry
