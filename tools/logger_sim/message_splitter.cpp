#include "tools/logger_sim/message_splitter.h"

#include <cctype>
#include <utility>

namespace kelvry::sim {

namespace {

constexpr size_t kFrameLength = 8;

bool opensFrame(char byte) {
  const auto b = static_cast<unsigned char>(byte);
  return b == 0x00 || (b & 0x80) != 0;
}

// Lower-case digits are taken into the record so that the whole message is
// consumed; the record parser refuses them afterwards.
bool isRecordChar(char byte) { return std::isxdigit(static_cast<unsigned char>(byte)) != 0; }

int digitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  return std::toupper(static_cast<unsigned char>(c)) - 'A' + 10;
}

}  // namespace

std::optional<TLineMessage> TMessageSplitter::push(char byte) {
  switch (state_) {
    case TState::Frame: return pushFrameByte(byte);
    case TState::Record: return pushRecordByte(byte);
    case TState::Idle: start(byte); break;
  }
  return std::nullopt;
}

void TMessageSplitter::start(char byte) {
  pending_.clear();
  recordLength_ = 0;
  if (opensFrame(byte)) {
    state_ = TState::Frame;
    pending_ += byte;
  } else if (byte == ':') {
    state_ = TState::Record;
    pending_ += byte;
  }
}

std::optional<TLineMessage> TMessageSplitter::pushFrameByte(char byte) {
  pending_ += byte;
  if (pending_.size() < kFrameLength) return std::nullopt;
  state_ = TState::Idle;
  TLineMessage message{TLineMessage::TKind::Frame, std::move(pending_)};
  pending_.clear();
  return message;
}

std::optional<TLineMessage> TMessageSplitter::pushRecordByte(char byte) {
  // A character that cannot belong to a record means the record was cut
  // short; the character may well open the next message.
  if (!isRecordChar(byte)) {
    state_ = TState::Idle;
    start(byte);
    return std::nullopt;
  }
  pending_ += byte;
  if (pending_.size() == 3) {
    const size_t count = static_cast<size_t>(digitValue(pending_[1]) * 16 + digitValue(pending_[2]));
    recordLength_ = 2 * count + 11;
  }
  if (recordLength_ == 0 || pending_.size() < recordLength_) return std::nullopt;
  state_ = TState::Idle;
  TLineMessage message{TLineMessage::TKind::Record, std::move(pending_)};
  pending_.clear();
  recordLength_ = 0;
  return message;
}

}  // namespace kelvry::sim
