#include "tests/serial/pseudo_terminal.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <array>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>

namespace kelvry::test {

TPseudoTerminal::TPseudoTerminal() {
  master_ = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  std::array<char, 128> name{};
  if (master_ < 0 || grantpt(master_) != 0 || unlockpt(master_) != 0 ||
      ptsname_r(master_, name.data(), name.size()) != 0) {
    throw std::runtime_error("no pseudo-terminal");
  }
  slavePath_ = name.data();
  heldSlave_ = open(slavePath_.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (heldSlave_ < 0) throw std::runtime_error("pseudo-terminal slave does not open");
}

TPseudoTerminal::~TPseudoTerminal() {
  hangUp();
  close(heldSlave_);
}

bool TPseudoTerminal::exclusiveFlag() const {
  int flag = 0;
  if (ioctl(heldSlave_, TIOCGEXCL, &flag) != 0) throw std::runtime_error("TIOCGEXCL failed");
  return flag != 0;
}

void TPseudoTerminal::send(const std::vector<uint8_t>& bytes) const {
  if (write(master_, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) {
    throw std::runtime_error("master write failed");
  }
}

std::vector<uint8_t> TPseudoTerminal::receive(size_t count, std::chrono::milliseconds timeout) const {
  std::vector<uint8_t> bytes(count);
  size_t received = 0;
  pollfd entry{master_, POLLIN, 0};
  while (received < count && poll(&entry, 1, static_cast<int>(timeout.count())) > 0) {
    const ssize_t n = read(master_, bytes.data() + received, count - received);
    if (n <= 0) break;
    received += static_cast<size_t>(n);
  }
  bytes.resize(received);
  return bytes;
}

void TPseudoTerminal::hangUp() {
  if (master_ >= 0) close(master_);
  master_ = -1;
}

size_t openDescriptorCount() {
  const auto entries = std::filesystem::directory_iterator("/proc/self/fd");
  return static_cast<size_t>(std::distance(begin(entries), end(entries)));
}

}  // namespace kelvry::test
