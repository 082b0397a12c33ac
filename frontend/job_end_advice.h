#pragma once

#include <string>

#include "serial/transport.h"

// The second line of the closing message when the line to the logger failed
// for good: why in plain words, where that left the logger, and what the
// user does next. The first line stays the job's own text; a cancel after
// the erase says the same about the logger.

namespace kelvry {

// Where a job that ended early left the logger: the erase had not begun and
// its application is whole, or it is erased and waits in its bootloader.
enum class TLoggerPlace { Application, Bootloader };

// After error 11, the serial line failed (a cable pulled out): `failure` is
// what failed and why, as the platform said it.
std::string lineLostAdvice(const TSerialFailure& failure, TLoggerPlace place);

// After the automatic repeats of a communication failure ran out: the
// logger no longer answered.
std::string noAnswerAdvice(TLoggerPlace place);

// After the automatic repeats of a read-back error ran out.
std::string readBackAdvice(TLoggerPlace place);

}  // namespace kelvry
