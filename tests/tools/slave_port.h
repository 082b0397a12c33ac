#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// The host's end of a virtual logger, with plain POSIX calls only, so that
// the logger is tested independently of the program's own serial code.

namespace kelvry::sim::test {

using namespace std::chrono_literals;

class TSlavePort {
public:
  explicit TSlavePort(const std::string& path);  // opens raw; throws on failure
  ~TSlavePort();
  TSlavePort(const TSlavePort&) = delete;
  TSlavePort& operator=(const TSlavePort&) = delete;

  void send(std::string_view bytes);
  // Reads until `count` bytes have arrived or `timeout` has passed.
  std::string receive(size_t count, std::chrono::milliseconds timeout = 5000ms);
  // Sends and waits for a reply of `count` bytes.
  std::string exchange(std::string_view request, size_t count, std::chrono::milliseconds timeout = 5000ms);
  // True when not one byte arrives within `quiet`.
  bool staysSilent(std::chrono::milliseconds quiet = 150ms);
  // True when the other end has closed the line within `timeout`.
  bool seesHangUp(std::chrono::milliseconds timeout = 5000ms);
  // Discards unread input, as the host does before every exchange.
  void purge();

private:
  int fd_ = -1;
};

std::string commandFrame(uint8_t command, const std::array<uint8_t, 6>& parameters = {});
std::string wakeUpFrame();
std::string identityQuery();
std::string jumpFrame();
std::string commandRecord(uint16_t block, uint8_t command);

struct TIdentity {
  uint8_t status = 0;
  uint16_t cls = 0;
  uint8_t verH = 0, verL = 0;
  bool checksumRight = false;
};
TIdentity decodeIdentity(const std::string& reply);  // reply must be 8 bytes

// The data bytes of a well-formed record line; empty when it does not parse.
std::vector<uint8_t> recordData(const std::string& line);

// Lines 0 to c - 1 of a built-in image (the end-of-file line left out).
std::vector<std::string> imageLines(uint32_t source);
// Index of the vector-table line in a list of lines, -1 if none.
int vectorLineIndex(const std::vector<std::string>& lines);

// Programs lines as the update job does: erase, every line with its echo
// compared, the vector-table line last, then the start command. Returns how
// many echoes were identical to their line.
int programAndStart(TSlavePort& port, const std::vector<std::string>& lines);
// Programs the lines in the given order, without erase or start.
int programLines(TSlavePort& port, const std::vector<std::string>& lines);

}  // namespace kelvry::sim::test
