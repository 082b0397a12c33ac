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

// Changes one part of a well-formed record line and recomputes the
// checksum, so that the line still passes the link's checks and only a
// comparison reveals it. A data byte changes in its first character only
// and the type in its last; the address becomes that of another block whose
// bytes add up the same, so that the checksum stays as it was. For the length
// the line gets one data byte more, whose value makes the checksum 00: the
// host reads as many characters as it sent, and those then pass as a record
// too. A line that does not parse, or has no data byte to change, is left as
// it is.
void corruptRecord(std::string& line, TEchoPart part);

}  // namespace kelvry::sim
