#pragma once

#include <iosfwd>

// The three streams an action of the command line talks through. They are
// handed down rather than taken from std::cout and friends, so that the
// tests run an action on strings and see exactly what a terminal would.

namespace kelvry::cli {

struct TStreams {
  std::ostream& out;  // results: report, tables, port names
  std::ostream& err;  // errors, the question, the progress line
  std::istream& in;   // the answer to the question
};

}  // namespace kelvry::cli
