#pragma once

#include <chrono>
#include <cstdint>
#include <string>
#include <vector>

namespace kelvry::test {

// A pseudo-terminal standing in for the logger's port. Like the virtual
// logger, it keeps its own descriptor of the slave side open for its whole
// life, so the tty outlives every open and close of the port under test.
class TPseudoTerminal {
public:
  TPseudoTerminal();
  ~TPseudoTerminal();
  TPseudoTerminal(const TPseudoTerminal&) = delete;
  TPseudoTerminal& operator=(const TPseudoTerminal&) = delete;

  const std::string& slavePath() const { return slavePath_; }
  // The slave as the far end's own descriptor: for looking at the line state.
  int heldSlave() const { return heldSlave_; }
  bool exclusiveFlag() const;

  // The logger's side of the line.
  void send(const std::vector<uint8_t>& bytes) const;
  std::vector<uint8_t> receive(size_t count, std::chrono::milliseconds timeout) const;
  void hangUp();  // closes the master, as an unplugged adapter or a stopped logger would

private:
  int master_ = -1;
  int heldSlave_ = -1;
  std::string slavePath_;
};

// Open descriptors of this process, to catch leaks.
size_t openDescriptorCount();

}  // namespace kelvry::test
