#include "tools/logger_sim/memory_logger.h"

#include <cerrno>
#include <cstring>

namespace kelvry::sim {

namespace {

constexpr int kBitsPerByte = 10;  // start bit, 8 data bits, stop bit

std::chrono::microseconds wireTime(size_t bytes, int baud) {
  if (baud <= 0) return std::chrono::microseconds(0);
  return std::chrono::microseconds(static_cast<int64_t>(bytes) * kBitsPerByte * 1'000'000 / baud);
}

}  // namespace

class TMemoryTransport final : public ISerialTransport {
public:
  TMemoryTransport(TMemoryLogger& line, IClock& clock, const TCancelToken& cancel)
      : line_(line), clock_(clock), cancel_(cancel) {}
  ~TMemoryTransport() override { close(); }

  bool open(const std::string&, int32_t) override {
    std::lock_guard lock(line_.mutex_);
    if (line_.hungUp_) return fail("open", ENOENT);
    if (line_.open_) return fail("open", EBUSY);
    line_.open_ = true;
    opened_ = true;
    return true;
  }

  void close() override {
    if (!opened_) return;
    std::lock_guard lock(line_.mutex_);
    line_.open_ = false;
    opened_ = false;
  }

  bool clearErrors() override {
    std::lock_guard lock(line_.mutex_);
    return usable() || fail("poll", EIO);
  }

  bool discardInput() override {
    std::lock_guard lock(line_.mutex_);
    if (!usable()) return fail("tcflush", EIO);
    const auto now = clock_.now();
    while (!line_.pending_.empty() && line_.pending_.front().arrival <= now) line_.pending_.pop_front();
    return true;
  }

  bool write(const uint8_t* data, size_t count, size_t& written) override {
    written = 0;
    std::lock_guard lock(line_.mutex_);
    if (!usable()) return fail("write", EIO);
    const auto now = clock_.now();
    const auto actions = line_.logger_.receive(std::string_view(reinterpret_cast<const char*>(data), count));
    written = count;
    for (const TLoggerAction& action : actions) {
      if (action.hangUp) {
        line_.hungUp_ = true;
        line_.pending_.clear();
        break;
      }
      // The reply starts when the request's last byte has reached the
      // logger, and each byte takes its wire time.
      const auto start = now + wireTime(action.requestLength, line_.baud_);
      for (size_t i = 0; i < action.reply.size(); ++i) {
        line_.pending_.push_back({start + wireTime(i + 1, line_.baud_), static_cast<uint8_t>(action.reply[i])});
      }
    }
    return true;
  }

  bool read(uint8_t* data, size_t count, size_t& received, std::chrono::milliseconds timeout) override {
    received = 0;
    const auto deadline = clock_.now() + timeout;
    auto lastArrival = clock_.now();
    {
      std::lock_guard lock(line_.mutex_);
      if (!usable()) return fail("read", EIO);
      while (received < count && !line_.pending_.empty() && line_.pending_.front().arrival <= deadline) {
        lastArrival = std::max(lastArrival, line_.pending_.front().arrival);
        data[received++] = line_.pending_.front().value;
        line_.pending_.pop_front();
      }
    }
    // The read takes as long as its bytes took to arrive, or its whole
    // time-out when they did not all come; a cancel cuts that short.
    clock_.sleepUntil(received == count ? lastArrival : deadline, cancel_);
    return true;
  }

  const TSerialFailure& lastFailure() const override { return failure_; }

private:
  bool usable() const { return opened_ && !line_.hungUp_; }

  bool fail(const char* operation, int error) {
    failure_ = {operation, error, std::strerror(error)};
    return false;
  }

  TMemoryLogger& line_;
  IClock& clock_;
  const TCancelToken& cancel_;
  bool opened_ = false;
  TSerialFailure failure_;
};

TMemoryLogger::TMemoryLogger(TLoggerConfig config) : logger_(config), baud_(config.faults.baud) {}

std::unique_ptr<ISerialTransport> TMemoryLogger::connect(IClock& clock, const TCancelToken& cancel) {
  return std::make_unique<TMemoryTransport>(*this, clock, cancel);
}

TLoggerStats TMemoryLogger::stats() const {
  std::lock_guard lock(mutex_);
  return logger_.stats();
}

std::vector<std::string> TMemoryLogger::flashLines() const {
  std::lock_guard lock(mutex_);
  return logger_.flashLines();
}

bool TMemoryLogger::isOpen() const {
  std::lock_guard lock(mutex_);
  return open_;
}

}  // namespace kelvry::sim
