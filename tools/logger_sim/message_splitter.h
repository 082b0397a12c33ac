#pragma once

#include <optional>
#include <string>

namespace kelvry::sim {

// One message as the logger receives it from the line.
struct TLineMessage {
  enum class TKind { Frame, Record };
  TKind kind = TKind::Frame;
  std::string bytes;  // the 8 frame bytes, or the record text from ':' on
};

// Cuts the byte stream from the host into messages. Nothing marks where a
// message ends, so the first byte decides: 0x00 (wake-up) or a byte with bit
// 0x80 set opens an 8-byte command frame, ':' opens a record whose length
// follows from its count field. Bytes that open neither are skipped, so line
// noise between messages costs nothing.
class TMessageSplitter {
public:
  // Takes one byte; returns the message it completes, if any.
  std::optional<TLineMessage> push(char byte);

  bool hasPartialMessage() const { return !pending_.empty(); }
  // Forgets an unfinished message, e.g. when its sender went quiet halfway.
  void discardPartialMessage() { pending_.clear(); }

private:
  enum class TState { Idle, Frame, Record };

  std::optional<TLineMessage> pushFrameByte(char byte);
  std::optional<TLineMessage> pushRecordByte(char byte);
  void start(char byte);

  TState state_ = TState::Idle;
  std::string pending_;
  size_t recordLength_ = 0;  // 0 until the count field is complete
};

}  // namespace kelvry::sim
