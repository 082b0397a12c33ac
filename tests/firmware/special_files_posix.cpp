// Special files on POSIX: a FIFO would block a reader that opens it the
// ordinary way until a writer comes, and devices never end or are empty.

#include "tests/firmware/special_files.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <thread>

#include <gtest/gtest.h>

#include "firmware/update_file.h"
#include "tests/support/temp_folder.h"

namespace kelvry::test {

namespace {

std::string makeFifo(const std::filesystem::path& dir) {
  const std::string path = (dir / "pipe.upd").string();
  EXPECT_EQ(mkfifo(path.c_str(), 0600), 0);
  return path;
}

}  // namespace

std::vector<TSpecialFile> specialFiles(const std::filesystem::path& dir) {
  return {
      {"FIFO", makeFifo(dir), "a FIFO"},
      {"endless device", "/dev/zero", "a character device"},
      {"empty device", "/dev/null", "a character device"},
  };
}

namespace {

// Without a writer, a FIFO opened the ordinary way waits forever. A helper
// opens the writing end after a while, so that a reader that does wait ends
// at all, and the time tells whether it waited.
TEST(UpdateFileFifo, IsRefusedWithoutWaitingForAWriter) {
  const std::filesystem::path dir = makeTempFolder("kelvry-fifo-");
  const std::string path = makeFifo(dir);
  std::thread rescue([&] {
    std::this_thread::sleep_for(std::chrono::seconds(2));
    const int fd = open(path.c_str(), O_WRONLY | O_NONBLOCK);
    if (fd >= 0) close(fd);
  });
  const auto start = std::chrono::steady_clock::now();
  std::string why;
  EXPECT_FALSE(loadUpdateFile(path, &why));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1)) << why;
  rescue.join();
  std::filesystem::remove_all(dir);
}

}  // namespace

}  // namespace kelvry::test
