#include "cli/confirmation.h"

#include <QString>

#include <istream>
#include <ostream>

namespace kelvry::cli {

std::string confirmationQuestion(bool clearsMeasurements, int32_t internalMode) {
  if (clearsMeasurements) return "This update clears all measurements!\r\nDo you really continue ?";
  if (internalMode == 0) return "Do you save your measurements ?\r\nDo you really continue without saving ?";
  return {};
}

bool askYesNo(const std::string& question, std::istream& answers, std::ostream& prompt) {
  // A terminal wants plain line feeds; the question keeps its own words.
  prompt << QString::fromStdString(question).replace("\r\n", "\n").toStdString() << " [y/N] " << std::flush;
  std::string line;
  if (!std::getline(answers, line)) {
    prompt << '\n';
    return false;
  }
  const QString answer = QString::fromStdString(line).trimmed().toLower();
  return answer == "y" || answer == "yes";
}

}  // namespace kelvry::cli
