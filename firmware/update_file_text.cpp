#include "firmware/update_file_text.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <stdexcept>

namespace kelvry {

namespace {

std::string systemError(const std::string& what) { return what + " (" + std::strerror(errno) + ")"; }

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

std::string tooLarge() {
  return "the file is larger than " + std::to_string(kMaxUpdateFileBytes / (1024 * 1024)) +
         " MiB, far more than any update file";
}

// Reads at most one byte past the limit, so that a file that grows while it
// is read (or a file in /proc that reports size 0) is still bounded.
std::string readBounded(int fd) {
  std::string text;
  char buffer[64 * 1024];
  while (text.size() <= kMaxUpdateFileBytes) {
    const ssize_t got = read(fd, buffer, sizeof buffer);
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) throw std::runtime_error(systemError("the file cannot be read"));
    if (got == 0) return text;
    text.append(buffer, static_cast<size_t>(got));
  }
  throw std::runtime_error(tooLarge());
}

// UTF-16 text has a byte-order mark, or at least puts a null byte beside
// every ASCII character.
bool looksLikeUtf16(std::string_view text) {
  if (text.starts_with("\xFF\xFE") || text.starts_with("\xFE\xFF")) return true;
  const std::string_view start = text.substr(0, std::min<size_t>(text.size(), 64) & ~size_t{1});
  if (start.empty()) return false;
  bool evenNull = true;
  bool oddNull = true;
  for (size_t i = 0; i < start.size(); ++i) {
    const bool isNull = start[i] == '\0';
    if (i % 2 == 0) evenNull = evenNull && isNull;
    if (i % 2 == 1) oddNull = oddNull && isNull;
  }
  return evenNull != oddNull;
}

// Tab, carriage return and line feed are the only control characters a text
// file of this kind can hold.
bool isBinaryByte(unsigned char c) { return (c < 0x20 && c != '\t' && c != '\r' && c != '\n') || c == 0x7F; }

}  // namespace

std::optional<std::string> updateFileTextFault(std::string_view text) {
  if (text.empty()) return "the file is empty";
  if (looksLikeUtf16(text)) return "the file is UTF-16 text; save it as plain ASCII text";
  const auto binary = std::ranges::find_if(text, [](char c) { return isBinaryByte(static_cast<unsigned char>(c)); });
  if (binary != text.end()) {
    char detail[80];
    std::snprintf(detail, sizeof detail, "byte 0x%02X at offset %zu",
                  static_cast<unsigned>(static_cast<unsigned char>(*binary)),
                  static_cast<size_t>(binary - text.begin()));
    return std::string("the file holds binary data (") + detail + "), not the text of an update file";
  }
  if (text.find('\n') == std::string_view::npos) {
    if (text.find('\r') != std::string_view::npos)
      return "the lines of the file end with a carriage return alone; an update file's lines end with CR LF or LF";
    return "the file has no line breaks; an update file has one header entry or record per line";
  }
  return std::nullopt;
}

std::string readUpdateFileText(const std::string& path) {
  // Non-blocking, so that opening a FIFO without a writer returns at once
  // and can be refused below instead of waiting forever.
  const TFileDescriptor file(open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (file.get() < 0) throw std::runtime_error(systemError("the file cannot be opened"));
  struct stat status {};
  if (fstat(file.get(), &status) != 0) throw std::runtime_error(systemError("the file cannot be read"));
  if (!S_ISREG(status.st_mode))
    throw std::runtime_error(std::string("the file cannot be read: it is ") + kindOfNonRegularFile(status.st_mode) +
                             ", not an update file");
  if (static_cast<unsigned long long>(status.st_size) > kMaxUpdateFileBytes) throw std::runtime_error(tooLarge());

  std::string text = readBounded(file.get());
  if (const auto fault = updateFileTextFault(text)) throw std::runtime_error(*fault);
  return text;
}

}  // namespace kelvry
