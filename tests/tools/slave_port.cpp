#include "tests/tools/slave_port.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <system_error>

#include "engine/checksums.h"
#include "firmware/firmware_sources.h"
#include "firmware/hex_codec.h"

namespace kelvry::sim::test {

namespace {

using TClock = std::chrono::steady_clock;

int millisecondsUntil(TClock::time_point deadline) {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - TClock::now()).count();
  return left < 0 ? 0 : static_cast<int>(left);
}

}  // namespace

TSlavePort::TSlavePort(const std::string& path) {
  fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd_ < 0) throw std::system_error(errno, std::generic_category(), "open " + path);
  termios settings{};
  ::tcgetattr(fd_, &settings);
  ::cfmakeraw(&settings);
  ::tcsetattr(fd_, TCSANOW, &settings);
}

TSlavePort::~TSlavePort() { ::close(fd_); }

void TSlavePort::send(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t put = ::write(fd_, bytes.data(), bytes.size());
    if (put < 0) {
      if (errno == EAGAIN || errno == EINTR) continue;
      throw std::system_error(errno, std::generic_category(), "write");
    }
    bytes.remove_prefix(static_cast<size_t>(put));
  }
}

std::string TSlavePort::receive(size_t count, std::chrono::milliseconds timeout) {
  const auto deadline = TClock::now() + timeout;
  std::string received;
  while (received.size() < count) {
    pollfd fds = {fd_, POLLIN, 0};
    if (::poll(&fds, 1, millisecondsUntil(deadline)) <= 0 || (fds.revents & POLLIN) == 0) break;
    char buffer[256];
    const ssize_t got = ::read(fd_, buffer, std::min(sizeof buffer, count - received.size()));
    if (got <= 0) break;
    received.append(buffer, static_cast<size_t>(got));
  }
  return received;
}

std::string TSlavePort::exchange(std::string_view request, size_t count, std::chrono::milliseconds timeout) {
  send(request);
  return receive(count, timeout);
}

bool TSlavePort::staysSilent(std::chrono::milliseconds quiet) { return receive(1, quiet).empty(); }

bool TSlavePort::seesHangUp(std::chrono::milliseconds timeout) {
  const auto deadline = TClock::now() + timeout;
  for (;;) {
    pollfd fds = {fd_, POLLIN, 0};
    const int ready = ::poll(&fds, 1, millisecondsUntil(deadline));
    if (ready <= 0) return false;
    if (fds.revents & (POLLHUP | POLLERR)) return true;
    char byte = 0;
    const ssize_t got = ::read(fd_, &byte, 1);
    if (got == 0 || (got < 0 && errno == EIO)) return true;
  }
}

void TSlavePort::purge() { ::tcflush(fd_, TCIOFLUSH); }

std::string commandFrame(uint8_t command, const std::array<uint8_t, 6>& parameters) {
  std::array<uint8_t, 8> frame{};
  frame[0] = static_cast<uint8_t>(command | 0x80);
  std::copy(parameters.begin(), parameters.end(), frame.begin() + 1);
  frame[7] = crc8(frame.data(), 7);
  return std::string(frame.begin(), frame.end());
}

std::string wakeUpFrame() { return std::string(8, '\0'); }
std::string identityQuery() { return commandFrame(1); }
std::string jumpFrame() { return commandFrame(2, {0x81, 0x00, 0xA5, 0x5A, 0x00, 0x00}); }

std::string commandRecord(uint16_t block, uint8_t command) {
  THexCodec codec;
  codec.setCommandRecord(block, command);
  codec.hexRecordToLine();
  return codec.hexLine;
}

TIdentity decodeIdentity(const std::string& reply) {
  std::array<uint8_t, 8> b{};
  std::copy_n(reply.begin(), std::min(reply.size(), b.size()), b.begin());
  return TIdentity{b[0], makeWord(b[2], b[3]), b[4], b[5], reply.size() == 8 && crc8(b.data(), 7) == b[7]};
}

std::vector<uint8_t> recordData(const std::string& line) {
  THexCodec codec;
  codec.hexLine = line;
  if (!codec.hexLineToRecord()) return {};
  return std::vector<uint8_t>(codec.hexRecord.begin() + 4, codec.hexRecord.begin() + 4 + codec.count());
}

std::vector<std::string> imageLines(uint32_t source) {
  std::vector<std::string> lines;
  const TFirmwareSources builtIn;
  const int32_t last = builtIn.getFirmwareLineCount(source);
  std::string line;
  for (int32_t i = 0; i < last; ++i) {
    builtIn.getFirmwareLine(source, i, line);
    lines.push_back(line);
  }
  return lines;
}

int vectorLineIndex(const std::vector<std::string>& lines) {
  for (size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].compare(0, 9, ":4003DF00") == 0) return static_cast<int>(i);
  }
  return -1;
}

int programLines(TSlavePort& port, const std::vector<std::string>& lines) {
  int identical = 0;
  for (const std::string& line : lines) {
    if (port.exchange(line, line.size()) == line) ++identical;
  }
  return identical;
}

int programAndStart(TSlavePort& port, const std::vector<std::string>& lines) {
  port.exchange(commandRecord(0, 0x31), 13);
  std::vector<std::string> ordered;
  const int vector = vectorLineIndex(lines);
  for (size_t i = 0; i < lines.size(); ++i) {
    if (static_cast<int>(i) != vector) ordered.push_back(lines[i]);
  }
  if (vector >= 0) ordered.push_back(lines[static_cast<size_t>(vector)]);
  const int identical = programLines(port, ordered);
  port.send(commandRecord(0, 0x33));
  return identical;
}

}  // namespace kelvry::sim::test
