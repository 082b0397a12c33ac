#include "ui/bench/bench_row_text.h"

namespace kelvry {

std::string failureReason(const std::string& resultText) {
  std::string reason = resultText.substr(0, resultText.find_first_of("\r\n"));
  while (!reason.empty() && (reason.back() == '!' || reason.back() == '.' || reason.back() == ' ')) reason.pop_back();
  return reason.empty() ? "no answer" : reason;
}

namespace {

TRowText endedJob(const TPortRecord& record, int success) {
  if (record.exitStatus == success) {
    const std::string after = record.loggerAfter.empty() ? record.image : record.loggerAfter;
    return {TRowState::Done, "done", "done, unplug it", after.empty() ? "Updated" : "Updated to " + after};
  }
  return {TRowState::Failed, "failed", "failed: " + failureReason(record.resultText) + ", unplug it",
          "Failed (status " + std::to_string(record.exitStatus) + ")"};
}

}  // namespace

TRowText rowText(const TRowFacts& facts) {
  if (facts.job && facts.job->record) return endedJob(*facts.job->record, facts.success);
  if (facts.job) return {TRowState::Updating, "updating", facts.job->status, ""};
  if (!facts.passesFilter) return {TRowState::OutsideFilter, "outside the filter", "never opened", ""};
  if (facts.benchRunning) return {TRowState::PluggedIn, "plugged in", "taken once it has settled", ""};
  if (facts.benchEnded) return {TRowState::NotTaken, "not taken", "the bench has ended", ""};
  return {TRowState::WaitingForStart, "waiting for Start", "nothing is touched until Start", ""};
}

}  // namespace kelvry
