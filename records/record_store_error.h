#pragma once

#include <stdexcept>
#include <string>

// Why a records store cannot be used, in one sentence a front end prints as
// it is: a file that is not ours, a schema newer than this program, a
// damaged file, a server that refuses. Passwords are already masked.

namespace kelvry {

class TRecordStoreError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A store that answered and is not to be written: not ours, newer than this
// program, damaged. Unlike a server that cannot be reached, waiting does not
// help.
class TRecordStoreRefusal : public TRecordStoreError {
 public:
  using TRecordStoreError::TRecordStoreError;
};

}  // namespace kelvry
