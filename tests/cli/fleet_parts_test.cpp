// The pieces of a run over several ports that need no logger: the board's
// lines, time stamps and file names, the exit status
// of the run, and the JSON lines.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <vector>

#include "cli/outputs/board_lines.h"
#include "cli/outputs/json_output.h"
#include "cli/outputs/board_output.h"
#include "cli/update/update_run.h"
#include "driver/duration_text.h"
#include "driver/exit_status.h"
#include "driver/report_log_file.h"
#include "driver/utc_stamp.h"
#include "engine/status_codes.h"
#include "tests/support/temp_folder.h"

namespace kelvry::cli {
namespace {

using namespace std::chrono_literals;

TEST(FleetBoard, OneAlignedLinePerPortThatNeverWraps) {
  const TBoardRow row{"/dev/ttyUSB0", "Kelvry V2.88", 42, "7:10 left", "Update Kelvry V2.92, PR56, BL3.0"};
  EXPECT_EQ(boardLine(row, 14, 200),
            "/dev/ttyUSB0    Kelvry V2.88          42%  7:10 left   Update Kelvry V2.92, PR56, BL3.0");
  const TBoardRow fresh{"/dev/ttyUSB1", "", 0, "", "Start at serial port \"/dev/ttyUSB1\""};
  EXPECT_EQ(boardLine(fresh, 14, 200).substr(0, 45), "/dev/ttyUSB1    -                      0%    ");
  EXPECT_EQ(boardLine(row, 14, 40).size(), 39u);
}

TEST(FleetBoard, RedrawsInPlaceOnATerminalOnly) {
  std::ostringstream offTerminal;
  TBoardLines quiet(offTerminal, false, 80, {TBoardRow{"a", "", 0, "", ""}, TBoardRow{"b", "", 0, "", ""}});
  quiet.show();
  quiet.row(0).percent = 50;
  quiet.refresh();
  quiet.hide();
  EXPECT_EQ(offTerminal.str(), "");

  std::ostringstream terminal;
  TBoardLines board(terminal, true, 80, {TBoardRow{"a", "", 0, "", ""}, TBoardRow{"b", "", 0, "", ""}});
  board.show();
  EXPECT_EQ(terminal.str(), "a  -                      0%\033[K\nb  -                      0%\033[K\n");
  terminal.str("");
  board.row(1).percent = 7;
  board.refresh();  // back up two lines, then over the old ones
  EXPECT_EQ(terminal.str(), "\r\033[2Aa  -                      0%\033[K\nb  -                      7%\033[K\n");
  terminal.str("");
  board.hide();
  EXPECT_EQ(terminal.str(), "\r\033[2A\033[J");
}

TEST(FleetBoard, SendsNothingWhenNoRowChanged) {
  std::ostringstream terminal;
  TBoardLines board(terminal, true, 80, {TBoardRow{"a", "", 0, "", ""}, TBoardRow{"b", "", 0, "", ""}});
  board.show();
  terminal.str("");
  board.row(0).percent = 0;  // what it was
  board.refresh();
  EXPECT_EQ(terminal.str(), "");
  board.row(0).status = "Update";
  board.refresh();
  EXPECT_NE(terminal.str(), "");
}

TEST(FleetBoard, AHeaderAndNewRowsAreCountedWhenItGoesBackUp) {
  std::ostringstream terminal;
  TBoardLines board(terminal, true, 80, {});
  board.show();
  board.setHeader("Updated 0");
  board.addRow(TBoardRow{"a", "", 0, "", ""});
  EXPECT_EQ(terminal.str(), "Updated 0\033[K\n\r\033[1A\033[JUpdated 0\033[K\na  -                      0%\033[K\n");
  terminal.str("");
  board.setHeader("Updated 1");
  board.refresh();
  EXPECT_EQ(terminal.str(), "\r\033[2AUpdated 1\033[K\na  -                      0%\033[K\n");
  terminal.str("");
  board.hide();
  EXPECT_EQ(terminal.str(), "\r\033[2A\033[J");
}

// A slow console must not hold the ports up: changes wait for the next
// redraw, a report line brings the rows back whole, a result shows at once.
TEST(LiveBoard, RedrawsChangesAtMostOnceAPeriod) {
  std::ostringstream terminal;
  TBoardOutput board(terminal, true, 80, {"a", "b"}, std::chrono::hours(1));
  ASSERT_NE(terminal.str(), "");
  terminal.str("");
  board.progress(0, 40);
  board.status(1, "Erase");
  board.logger(0, "Kelvry V2.92");
  EXPECT_EQ(terminal.str(), "") << "drawn before its time";

  board.stepAside();
  board.comeBack();
  EXPECT_NE(terminal.str().find(" 40%"), std::string::npos) << terminal.str();
  EXPECT_NE(terminal.str().find("Erase"), std::string::npos) << terminal.str();

  terminal.str("");
  TPortRecord record;
  record.resultText = "Process cancelled!";
  board.finished(1, record);
  EXPECT_NE(terminal.str().find("Process cancelled!"), std::string::npos) << terminal.str();

  std::ostringstream eager;
  TBoardOutput every(eager, true, 80, {"a", "b"}, std::chrono::milliseconds(0));
  eager.str("");
  every.progress(0, 40);
  EXPECT_NE(eager.str().find(" 40%"), std::string::npos) << "with no period each change is drawn";
}

TEST(UtcStamp, IsoForRecordsAndCompactForFileNames) {
  // 2026-12-10 14:05:09.123 UTC
  const std::chrono::system_clock::time_point when{std::chrono::sys_days{std::chrono::year{2026} / 12 / 10} +
                                                   14h + 5min + 9s + 123ms};
  EXPECT_EQ(isoUtcStamp(when), "2026-12-10T14:05:09.123Z");
  EXPECT_EQ(compactUtcStamp(when), "20261210T140509Z");
  struct TCase {
    std::string port, file;
  };
  for (const TCase& c : std::vector<TCase>{{"/dev/ttyUSB0", "20261210T140509Z_ttyUSB0.log"},
                                           {"/dev/pts/3", "20261210T140509Z_pts-3.log"},
                                           {"COM3", "20261210T140509Z_COM3.log"},
                                           {"/dev/serial/by-id/usb-FTDI:1", "20261210T140509Z_serial-by-id-usb-FTDI-1.log"}})
    EXPECT_EQ(reportFileName(c.port, when), c.file);
  EXPECT_EQ(durationText(667s), "11:07");
}

std::string fileText(const std::filesystem::path& path) {
  std::ifstream file(path);
  return std::string(std::istreambuf_iterator<char>(file), {});
}

// A report file is always a new file: nothing that already stands under its
// name is overwritten or followed, and no two ports or runs share one.
TEST(ReportLogFile, IsCreatedNewAndNeverOverwritesOrFollowsWhatIsThere) {
  namespace fs = std::filesystem;
  const fs::path folder = test::makeTempFolder("kelvry-report-");
  const auto start = std::chrono::system_clock::now();
  const std::string name = reportFileName("/dev/a b", start);
  const std::string stem = name.substr(0, name.size() - 4);

  // Another user's file, and a link planted under the name the next file gets.
  const fs::path victim = folder / "victim";
  std::ofstream(victim) << "precious\n";
  std::error_code linkError;
  fs::create_symlink(victim, folder / name, linkError);
  if (linkError) std::ofstream(folder / name) << "precious\n";

  const TReportLogFile first(folder, "/dev/a b", start);
  const TReportLogFile second(folder, "/dev/a-b", start);  // cleans up to the same name
  const TReportLogFile third(folder, "/dev/a b", start);   // a second run in the same second

  EXPECT_EQ(fileText(victim), "precious\n");
  EXPECT_EQ(first.path(), folder / (stem + "_2.log"));
  EXPECT_EQ(second.path(), folder / (stem + "_3.log"));
  EXPECT_EQ(third.path(), folder / (stem + "_4.log"));
  EXPECT_EQ(fileText(first.path()), "Port: /dev/a b\n");
  EXPECT_EQ(fileText(second.path()), "Port: /dev/a-b\n");
  fs::remove_all(folder);
}

TFilePtr fullDisk() { return TFilePtr(std::fopen("/dev/full", "w")); }

// A full disk: every write is refused. The record says so instead of
// looking whole.
TEST(ReportLogFile, AWriteTheDiskRefusesMakesTheRecordIncomplete) {
  TReportLogFile file(fullDisk(), "/dev/full", "/dev/ttyUSB0");
  TPortEvent event;
  event.report.push_back({"14-05-09 -> Progress 12%", "Progress 12%"});
  file.write(event);
  file.writeResult(TPortRecord{});
  file.close();
  EXPECT_EQ(file.failure(), std::strerror(ENOSPC));
}

// On a bench each logger gets its file when it is plugged in, also a second
// one on the same port; a file that cannot be made then is told at the end.
TEST(ReportFiles, ALoggerThatAppearsDuringTheRunGetsItsOwnFile) {
  namespace fs = std::filesystem;
  const fs::path folder = test::makeTempFolder("kelvry-report-");
  const auto start = std::chrono::system_clock::now();
  std::ostringstream err;
  TReportFiles reports(folder / "records", {}, start, err);
  TPortRecord record;
  record.port = "/dev/ttyUSB0";
  record.resultText = "Update Kelvry V2.92 succesfully completed.";
  for (size_t logger = 0; logger < 2; ++logger) {
    reports.portAdded(logger, "/dev/ttyUSB0");
    reports.finished(logger, record);
  }
  const std::string name = reportFileName("/dev/ttyUSB0", start);
  EXPECT_TRUE(fileText(folder / "records" / name).starts_with("Port: /dev/ttyUSB0\nResult: 0 Update"));
  EXPECT_TRUE(fs::exists(folder / "records" / (name.substr(0, name.size() - 4) + "_2.log")));
  EXPECT_TRUE(reports.complete());

  fs::remove_all(folder / "records");
  std::ofstream(folder / "records") << "a file where the folder was\n";
  reports.portAdded(2, "/dev/ttyUSB1");
  reports.event(2, TPortEvent{});
  reports.finished(2, record);
  EXPECT_FALSE(reports.complete());
  reports.summary({record, record, record});
  EXPECT_TRUE(err.str().starts_with("kelvry-update-cli: no report file for /dev/ttyUSB1: ")) << err.str();
  fs::remove_all(folder);
}

TEST(ReportFiles, EachIncompleteRecordIsToldOnceWithItsFileReasonAndThePortsOwnResult) {
  const std::filesystem::path folder = test::makeTempFolder("kelvry-report-");
  const auto start = std::chrono::system_clock::now();
  std::vector<std::unique_ptr<TReportLogFile>> files;
  files.push_back(std::make_unique<TReportLogFile>(folder, "/dev/ttyUSB0", start));
  files.push_back(std::make_unique<TReportLogFile>(fullDisk(), "/dev/full", "/dev/ttyUSB1"));
  std::ostringstream err;
  TReportFiles reports(std::move(files), err);

  TPortEvent event;
  event.report.push_back({"14-05-09 -> Progress 12%", "Progress 12%"});
  std::vector<TPortRecord> records(2);
  for (size_t port = 0; port < 2; ++port) {
    records[port].port = port == 0 ? "/dev/ttyUSB0" : "/dev/ttyUSB1";
    records[port].resultText = "Update Kelvry V2.92 succesfully completed.";
    reports.event(port, event);
    reports.event(port, event);
    reports.finished(port, records[port]);
  }
  EXPECT_EQ(err.str(), "") << "told once the run is over, not between the lines of the board";
  reports.summary(records);

  EXPECT_FALSE(reports.complete());
  EXPECT_EQ(err.str(), std::string("kelvry-update-cli: report file \"/dev/full\" is incomplete: ") +
                           std::strerror(ENOSPC) +
                           " (/dev/ttyUSB1: status 0, Update Kelvry V2.92 succesfully completed.)\n");
  std::filesystem::remove_all(folder);
}

TEST(FleetExitStatus, ZeroOnlyWhenEveryLoggerSucceeded) {
  struct TCase {
    std::vector<int> statuses;
    bool infoOnly;
    int expected;
  };
  const std::vector<TCase> cases = {
      {{0}, false, 0},
      {{err::NoReply}, false, err::NoReply},  // one port: its own status, as ever
      {{0, 0, 0}, false, 0},
      {{0, err::LoggerException, 0}, false, kExitSomeFailed},
      {{err::Cancelled, err::Cancelled}, false, kExitSomeFailed},
      {{err::ReadInfoOnly, err::ReadInfoOnly}, true, err::ReadInfoOnly},
      {{err::ReadInfoOnly, err::PortNotReady}, true, kExitSomeFailed},
  };
  for (const TCase& c : cases) {
    std::vector<TPortOutcome> ports;
    for (int status : c.statuses) {
      TPortOutcome port;
      port.record.exitStatus = status;
      ports.push_back(port);
    }
    EXPECT_EQ(runExitStatus(ports, c.infoOnly), c.expected) << c.statuses.size() << " ports";
  }
}

TEST(FleetJson, OneObjectPerNotificationAndOneResultPerPort) {
  const std::chrono::system_clock::time_point when{std::chrono::sys_days{std::chrono::year{2026} / 1 / 2}};
  TPortEvent done;
  done.notification = TNotification{0, 0};
  done.messages.push_back("Update Kelvry V2.92 succesfully completed.");
  const auto line = nlohmann::json::parse(eventJsonLine("/dev/ttyUSB0", when, done));
  EXPECT_EQ(line, nlohmann::json::parse(R"({"port":"/dev/ttyUSB0","time":"2026-01-02T00:00:00.000Z","code":0,
      "value":0,"text":"","message":"Update Kelvry V2.92 succesfully completed."})"));

  TPortEvent start;  // a job the view started by itself: no notification
  start.report.emplace_back("10-00-00 -> Start at serial port \"x\"", "Start at serial port \"x\"");
  const auto started = nlohmann::json::parse(eventJsonLine("x", when, start));
  EXPECT_TRUE(started.at("code").is_null());
  EXPECT_EQ(started.at("text"), "Start at serial port \"x\"");
  EXPECT_FALSE(started.contains("message"));

  TPortRecord record;
  record.port = "x";
  record.loggerBefore = "Kelvry V2.88";
  record.exitStatus = err::NoReply;
  record.resultText = "Gave up after 3 repeats: communication error!";
  record.repeats = 3;
  record.duration = 1500ms;
  record.usb.vendorId = "0403";
  record.usb.productId = "6001";
  record.usb.manufacturer = "FTDI";
  record.usb.serialNumber = "A10K3XQZ";
  const auto result = nlohmann::json::parse(resultJsonLine(record, when)).at("result");
  EXPECT_EQ(result.at("status"), err::NoReply);
  EXPECT_EQ(result.at("text"), record.resultText);
  EXPECT_EQ(result.at("loggerBefore"), "Kelvry V2.88");
  EXPECT_TRUE(result.at("loggerAfter").is_null());
  EXPECT_TRUE(result.at("imageSha256").is_null());
  EXPECT_EQ(result.at("repeats"), 3);
  EXPECT_DOUBLE_EQ(result.at("seconds").get<double>(), 1.5);
  // Four results of one port in a bench are told apart by their logger.
  const auto& usb = result.at("usb");
  EXPECT_EQ(usb.at("vendorId"), "0403");
  EXPECT_EQ(usb.at("productId"), "6001");
  EXPECT_EQ(usb.at("maker"), "FTDI");
  EXPECT_TRUE(usb.at("product").is_null());
  EXPECT_EQ(usb.at("serial"), "A10K3XQZ");
}

}  // namespace
}  // namespace kelvry::cli
