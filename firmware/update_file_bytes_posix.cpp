#include "firmware/update_file_bytes.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <stdexcept>

namespace kelvry {

namespace {

// Closes the descriptor on every way out of the reader.
class TFileDescriptor {
 public:
  explicit TFileDescriptor(int fd) : fd_(fd) {}
  ~TFileDescriptor() {
    if (fd_ >= 0) close(fd_);
  }
  TFileDescriptor(const TFileDescriptor&) = delete;
  TFileDescriptor& operator=(const TFileDescriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

const char* kindOfNonRegularFile(mode_t mode) {
  if (S_ISDIR(mode)) return "a directory";
  if (S_ISFIFO(mode)) return "a FIFO (named pipe)";
  if (S_ISCHR(mode)) return "a character device";
  if (S_ISBLK(mode)) return "a block device";
  if (S_ISSOCK(mode)) return "a socket";
  return "no regular file";
}

// Reads at most one byte past the limit, so that a file that grows while it
// is read (or a file in /proc that reports size 0) is still bounded.
std::string readBounded(int fd) {
  std::string text;
  char buffer[64 * 1024];
  while (text.size() <= kMaxUpdateFileBytes) {
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) throw std::runtime_error(updateFileSystemError("the file cannot be read"));
    if (got == 0) return text;
    text.append(buffer, static_cast<size_t>(got));
  }
  throw std::runtime_error(updateFileTooLargeText());
}

}  // namespace

std::string readUpdateFileBytes(const std::string& path) {
  // Non-blocking, so that opening a FIFO without a writer returns at once
  // and can be refused below instead of waiting forever.
  const TFileDescriptor file(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (file.get() < 0) throw std::runtime_error(updateFileSystemError("the file cannot be opened"));
  struct stat status {};
  if (fstat(file.get(), &status) != 0) throw std::runtime_error(updateFileSystemError("the file cannot be read"));
  if (!S_ISREG(status.st_mode))
    throw std::runtime_error(std::string("the file cannot be read: it is ") + kindOfNonRegularFile(status.st_mode) +
                             ", not an update file");
  if (static_cast<unsigned long long>(status.st_size) > kMaxUpdateFileBytes)
    throw std::runtime_error(updateFileTooLargeText());
  return readBounded(file.get());
}

}  // namespace kelvry
