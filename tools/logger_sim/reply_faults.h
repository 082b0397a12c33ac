#pragma once

#include <string>

#include "tools/logger_sim/virtual_logger.h"

namespace kelvry::sim {

// Alters an 8-byte reply frame as the fault says. Faults that only make sense
// for records leave it unchanged, except CorruptChar, which changes a class
// byte and keeps the checksum right.
void applyFrameFault(std::string& frame, TReplyFault fault);

// Alters a reply record line as the fault says. The frame-only faults leave
// it unchanged.
void applyRecordFault(std::string& line, TReplyFault fault);

// Changes the first data character of a well-formed record line to another
// hexadecimal digit and recomputes the checksum, so that the line still
// passes the link's checks and only a comparison reveals it.
void corruptRecordData(std::string& line);

}  // namespace kelvry::sim
