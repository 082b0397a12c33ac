#pragma once

#include <string>
#include <vector>

#include "frontend/job_notifications.h"

namespace kelvry::test {

// Records every call of the notification handler as one readable entry, in
// call order, so a test can compare whole sequences.
class TRecordingJobView : public IJobView {
public:
  std::vector<std::string> calls;
  std::string portText = "COM7";
  // What the job would say: its firmware, its choice, its serial failure.
  TFirmwareSources sources;
  int32_t selectedSource = 4;
  TSerialFailure serialFailure;

  void AddReportLine(const std::string& sText) override { calls.push_back("report: " + sText); }
  void SetStatusText(const std::string& sText) override { calls.push_back("status: " + sText); }
  void ShowMessageText(const std::string& sText) override { calls.push_back("message: " + sText); }
  void ShowPortFailure(const std::string& sText, const std::string& sReason) override {
    calls.push_back("port failure: " + sText + " | " + sReason);
  }
  void SetProgressPosition(int iPercent) override {
    position_ = iPercent;
    calls.push_back("progress: " + std::to_string(iPercent));
  }
  int ProgressPosition() const override { return position_; }
  void SetApplicationTitle(const std::string& sTitle) override { calls.push_back("title: " + sTitle); }
  void Beep() override { calls.push_back("beep"); }
  std::string PortText() const override { return portText; }
  const TFirmwareSources& FirmwareSources() const override { return sources; }
  int32_t SelectedSource() const override { return selectedSource; }
  TSerialFailure SerialFailure() const override { return serialFailure; }
  void EndJob() override { calls.push_back("end job"); }
  void RepeatAfterProgrammingError() override { calls.push_back("repeat after programming error"); }
  void RepeatAfterCommFailure(TCmd cmd) override {
    calls.push_back("repeat after comm failure: " + std::to_string(ordinal(cmd)));
  }

  // Only the report lines, in order.
  std::vector<std::string> reportLines() const {
    std::vector<std::string> lines;
    for (const auto& call : calls)
      if (call.starts_with("report: ")) lines.push_back(call.substr(8));
    return lines;
  }

private:
  int position_ = 0;
};

}  // namespace kelvry::test
