#include "frontend/job_notifications.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

#include "engine/status_codes.h"
#include "firmware/identity_names.h"
#include "frontend/port_open_advice.h"
#include "frontend/text_format.h"

namespace kelvry {

std::string startLine(const std::string& sPortText) {
  return format("Start at serial port \"%s\"", sPortText.c_str());
}

namespace {

// Name lookups see only the low 16 bits; the numbers themselves are printed
// whole.
uint16_t low16(int32_t value) { return static_cast<uint16_t>(value & 0xFFFF); }

std::string className(uint16_t cls, uint16_t print = kUnknownNumber) {
  std::string name;
  getClassName(cls, print, name);
  return name;
}

std::string platformName(uint16_t platform) {
  std::string name;
  getPlatformName(platform, name);
  return name;
}

std::string printName(uint16_t print) {
  std::string name;
  getPrintName(print, name);
  return name;
}

TBl3FileHeader headerOf(const IJobView& view, int32_t source) {
  TBl3FileHeader header;
  // -1 wraps to a source the catalogue does not have, which gives the
  // "nothing known" header.
  view.FirmwareSources().getFirmwareHeader(static_cast<uint32_t>(source), header);
  return header;
}

// "%s V%d.%.2d, %s, BL%d.%d": the firmware a header describes.
std::string firmwareDescription(const char* verb, const TBl3FileHeader& h) {
  return format("%s %s V%d.%.2d, %s, BL%d.%d", verb, className(h.tarvo_class, h.tarvo_print).c_str(),
                h.tarvo_verH, h.tarvo_verL, printName(h.tarvo_print).c_str(), h.tarvo_bl, h.tarvo_bl_ver);
}

void toAllThree(IJobView& view, const std::string& text) {
  view.AddReportLine(text);
  view.SetStatusText(text);
  view.ShowMessageText(text);
}

void toReportAndStatus(IJobView& view, const std::string& text) {
  view.AddReportLine(text);
  view.SetStatusText(text);
}

void jobDone(IJobView& view, int32_t value) {
  view.SetProgressPosition(100);
  view.EndJob();
  // A test run proves the link only; there is no update to announce.
  if ((value & 0xFF) == ordinal(TCmd::tCMD_TEST)) return;
  const TBl3FileHeader h = headerOf(view, view.SelectedSource());
  toAllThree(view, format("Update %s V%d.%.2d succesfully completed.",
                          className(h.tarvo_class, h.tarvo_print).c_str(), h.tarvo_verH, h.tarvo_verL));
}

void progress(IJobView& view, int32_t value) {
  view.AddReportLine(format("Progress %d%%", value));
  view.SetProgressPosition(value);
  view.SetApplicationTitle(format("%d%%", view.ProgressPosition()));
}

void jobFailed(IJobView& view, int32_t errorCode) {
  view.EndJob();
  view.Beep();
  const std::string text = errorText(errorCode, view.PortText());
  switch (errorCode) {
    case err::SerialIo:
      // The design's text says only that the line failed; say what and why.
      view.ShowLineFailure(text, serialFailureText(view.SerialFailure()));
      break;
    case err::PortNotReady:
      view.ShowPortFailure(text, portOpenAdvice(view.PortText(), view.SerialFailure(), view.PortChooser()));
      break;
    case err::Cancelled: view.ShowCancelled(text); break;
    case err::ConversionError:
      // The report already names the line (notification 12).
      view.ShowMessageText(text);
      break;
    case err::ProgrammingError:
      // A read-back difference is usually a disturbed line: try it all again.
      toReportAndStatus(view, text);
      view.RepeatAfterProgrammingError();
      break;
    default:
      toAllThree(view, text);
      break;
  }
}

void commFailure(IJobView& view, int32_t value) {
  const std::string text = "Repeat update because communication error!";
  view.SetStatusText(text);
  view.AddReportLine(text);
  view.RepeatAfterCommFailure(static_cast<TCmd>(value & 0xFF));
}

void vectorTable(IJobView& view, int32_t value) {
  if (value == 0) view.AddReportLine("Vector table is saved.");
  if (value == 1) view.AddReportLine("Vector table is programmed.");
}

}  // namespace

void IJobView::ShowCancelled(const std::string& sText) { toAllThree(*this, sText); }

void IJobView::ShowLineFailure(const std::string& sText, const std::string& sReason) {
  if (!sReason.empty()) AddReportLine(sReason);
  toAllThree(*this, sText);
}

std::string serialFailureText(const TSerialFailure& failure) {
  if (failure.reason.empty()) return {};
  return format("Serial port %s failed: %s", failure.operation.c_str(), failure.reason.c_str());
}

std::string errorText(int32_t errorCode, const std::string& sPortText) {
  switch (errorCode) {
    case err::PortNotReady: return format("Aborted because serial port \"%s\" is not ready!", sPortText.c_str());
    case err::SerialIo: return "Aborted because error when reading/writing to serial port!";
    case err::Cancelled: return "Process cancelled!";
    case err::CancelledAfterStart:
      return "The logger was restarted with the new firmware; the final check was skipped because the process "
             "was cancelled.";
    case err::NotInBootloader: return "Aborted because no update is available for this logger!";
    case err::LoggerException: return "Aborted because the logger is not ready!";
    case err::LastLineWrong: return "Aborted because last line is wrong !";
    case err::ConversionError: return "Aborted because conversion error!";
    case err::ProgrammingError: return "Repeat because programming error!";
    case err::WrongClassAfterStart: return "Update was not successfull!";
    case err::InvalidAnswer: return "Aborted because the logger transmitted an invalid answer!";
    case err::NoMatchingSource: return "There is no update available or the logger has another update ID!";
    case err::ReadInfoOnly: return "Only read update info!";
    default: return "Fatal Exception has occurred!";
  }
}

void WMWorkerNotify(IJobView& view, uint32_t code, int32_t value) {
  switch (code) {
    case ntf::JobDone: jobDone(view, value); break;
    case ntf::Progress: progress(view, value); break;
    case ntf::JobFailed: jobFailed(view, value); break;
    case ntf::ReadBackDiffers:
      toReportAndStatus(view, format("Aborted because programming error at line %d !", value));
      break;
    case ntf::LineNotRecord:
      view.AddReportLine(format("Aborted because conversion error at line  %d !", value));
      break;
    case ntf::CommFailure: commFailure(view, value); break;
    case ntf::ClassWord:
      view.AddReportLine(format("Class %d [%s]", value, className(low16(value)).c_str()));
      break;
    case ntf::VersionWord:
      view.AddReportLine(format("Version %d.%d", (value >> 8) & 0xFF, value & 0xFF));
      break;
    case ntf::Platform:
      view.AddReportLine(format("Platform %d [%s]", value, platformName(low16(value)).c_str()));
      break;
    case ntf::Print:
      view.AddReportLine(format("Print %d [%s]", value, printName(low16(value)).c_str()));
      break;
    case ntf::InfoWord: view.AddReportLine(format("Info %d", value)); break;
    case ntf::UpdateClass:
      view.AddReportLine(format("Update class %d [%s]", value, className(low16(value)).c_str()));
      break;
    case ntf::SourceSelected:
      toReportAndStatus(view, firmwareDescription("Update", headerOf(view, view.SelectedSource())));
      break;
    case ntf::CheckingSource:
      view.AddReportLine(firmwareDescription("Check", headerOf(view, value)));
      break;
    case ntf::UpdateInfo:
      view.AddReportLine(format("Update Info %.4X", static_cast<unsigned>(value)));
      break;
    case ntf::VectorTable: vectorTable(view, value); break;
    default: break;  // codes the worker does not post
  }
}

}  // namespace kelvry
