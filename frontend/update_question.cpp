#include "frontend/update_question.h"

namespace kelvry {

std::string confirmationQuestion(bool clearsMeasurements, int32_t internalMode) {
  if (clearsMeasurements) return "This update clears all measurements!\r\nDo you really continue ?";
  if (internalMode == 0) return "Do you save your measurements ?\r\nDo you really continue without saving ?";
  return {};
}

}  // namespace kelvry
