// The outputs of a run as the terminal gets them, stdout and stderr on one
// screen: lines never land inside the progress line or the board, the
// summary replaces the board, JSON lines replace the report.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <sstream>
#include <string>
#include <vector>

#include "cli/outputs/run_output_set.h"

namespace kelvry::cli {
namespace {

constexpr const char* kClearLine = "\r\033[K";

TPortEvent lines(std::vector<std::string> report, std::vector<std::string> messages = {}) {
  TPortEvent event;
  for (const std::string& text : report) event.report.emplace_back("12-00-00 -> " + text, text);
  event.messages = std::move(messages);
  return event;
}

TRunOutputSettings onTerminal(std::vector<std::string> ports, bool json = false) {
  return {.ports = std::move(ports), .json = json, .stderrIsTerminal = true, .columns = 80, .logFolder = ""};
}

TPortRecord record(const std::string& port, int status, const std::string& text) {
  TPortRecord r;
  r.port = port;
  r.exitStatus = status;
  r.resultText = text;
  return r;
}

TEST(RunOutputs, OnePortKeepsTheProgressLineBelowTheReportWhileTheJobRuns) {
  std::ostringstream screen;
  TRunOutputSet outputs(onTerminal({"/dev/ttyUSB0"}), screen, screen);
  outputs.status(0, "Start");
  outputs.jobRunning(0, true);
  EXPECT_EQ(screen.str(), "") << "the line comes with the job's first report line, not before";

  outputs.event(0, lines({"Start"}));
  const std::string afterStart = screen.str();
  ASSERT_TRUE(afterStart.starts_with("12-00-00 -> Start\n\r[")) << afterStart;
  EXPECT_TRUE(afterStart.ends_with("Start\033[K")) << afterStart;

  screen.str("");
  outputs.event(0, lines({"Progress 45%"}));
  EXPECT_TRUE(screen.str().starts_with(std::string(kClearLine) + "12-00-00 -> Progress 45%\n\r[")) << screen.str();

  screen.str("");
  outputs.jobRunning(0, false);
  outputs.event(0, lines({}, {"Update Kelvry V2.92 succesfully completed."}));
  EXPECT_EQ(screen.str(), std::string(kClearLine) + "Update Kelvry V2.92 succesfully completed.\n")
      << "once the job has ended the line stays away";
}

TEST(RunOutputs, OnePortOffATerminalWritesTheReportAlone) {
  std::ostringstream out, err;
  TRunOutputSet outputs({.ports = {"p"}, .json = false, .stderrIsTerminal = false, .columns = 80, .logFolder = ""},
                      out, err);
  outputs.jobRunning(0, true);
  outputs.event(0, lines({"Start"}));
  outputs.progress(0, 50);
  outputs.beep(0);
  outputs.jobRunning(0, false);
  outputs.finished(0, record("p", 0, "done"));
  outputs.summary({record("p", 0, "done")});
  EXPECT_EQ(out.str(), "12-00-00 -> Start\n");
  EXPECT_EQ(err.str(), "");
}

TEST(RunOutputs, SeveralPortsNameTheirLinesAndTheSummaryTakesTheBoardsPlace) {
  std::ostringstream screen;
  TRunOutputSet outputs(onTerminal({"a", "b"}), screen, screen);
  const std::string board = screen.str();
  ASSERT_FALSE(board.empty()) << "the board is on screen from the start";

  screen.str("");
  outputs.event(1, lines({"Start"}));
  const std::string line = screen.str();
  EXPECT_TRUE(line.starts_with("\r\033[2A\033[J" "b: 12-00-00 -> Start\n")) << line;
  EXPECT_TRUE(line.ends_with(board)) << "the board comes back below the line";

  screen.str("");
  outputs.finished(0, record("a", 0, "done"));
  outputs.finished(1, record("b", 30, "failed"));
  outputs.summary({record("a", 0, "done"), record("b", 30, "failed")});
  const std::string end = screen.str();
  const size_t summary = end.find("\nPort");
  ASSERT_NE(summary, std::string::npos) << end;
  EXPECT_EQ(end.substr(summary).find('\033'), std::string::npos) << "no board after the summary: " << end;
  EXPECT_NE(end.substr(0, summary).rfind("\033[J"), std::string::npos) << "the board is taken away first";
}

TEST(RunOutputs, JsonLinesReplaceTheReportAndTheSummaryGoesToStderr) {
  std::ostringstream out, err;
  TRunOutputSet outputs({.ports = {"a", "b"}, .json = true, .stderrIsTerminal = false, .columns = 80, .logFolder = ""},
                      out, err);
  TPortEvent event = lines({"Start"});
  event.notification = TNotification{1, 45};
  outputs.event(0, event);
  outputs.event(1, TPortEvent{});  // nothing happened: no line
  outputs.finished(0, record("a", 0, "done"));
  outputs.finished(1, record("b", 30, "failed"));
  outputs.summary({record("a", 0, "done"), record("b", 30, "failed")});

  std::istringstream text(out.str());
  std::vector<nlohmann::json> objects;
  for (std::string line; std::getline(text, line);) objects.push_back(nlohmann::json::parse(line));
  ASSERT_EQ(objects.size(), 3u) << out.str();
  EXPECT_EQ(objects[0].at("port"), "a");
  EXPECT_EQ(objects[0].at("text"), "Start");
  EXPECT_EQ(objects[2].at("result").at("status"), 30);
  EXPECT_NE(err.str().find("Port"), std::string::npos);
}

// Loggers come and go on a bench: the board grows by a row for a new port,
// a logger plugged in again takes its port's row back, the counts stand
// above the rows, and each finished logger is told (with a bell only when
// asked for).
TEST(RunOutputs, ABenchTakesPortsAsTheyAppearAndTellsEachFinishedLogger) {
  for (const bool bell : {false, true}) {
    SCOPED_TRACE(bell);
    std::ostringstream screen;
    TRunOutputSettings settings = onTerminal({});
    settings.bench = true;
    settings.bell = bell;
    TRunOutputSet outputs(settings, screen, screen);
    outputs.benchCounts({.updated = 0, .failed = 0, .running = 1, .waitingForUnplug = 0});
    outputs.portAdded(0, "/dev/ttyUSB0");
    outputs.event(0, lines({"Start"}));
    EXPECT_NE(screen.str().find("/dev/ttyUSB0: 12-00-00 -> Start\n"), std::string::npos)
        << "a bench names the port even of its only logger: " << screen.str();

    screen.str("");
    outputs.finished(0, record("/dev/ttyUSB0", 0, "done"));
    outputs.benchCounts({.updated = 1, .failed = 0, .running = 0, .waitingForUnplug = 1});
    const std::string done = screen.str();
    EXPECT_NE(done.find("/dev/ttyUSB0: done, unplug it"), std::string::npos) << done;
    EXPECT_EQ(done.find('\a') != std::string::npos, bell) << done;
    EXPECT_NE(done.find("Updated 1, failed 0, running 0, waiting for unplug 1\033[K\n/dev/ttyUSB0 "),
              std::string::npos)
        << "the counts stand above the rows: " << done;

    screen.str("");
    outputs.portAdded(1, "/dev/ttyUSB1");
    outputs.portAdded(2, "/dev/ttyUSB0");  // plugged in again: its row is taken over
    outputs.status(2, "Erase");
    outputs.finished(2, record("/dev/ttyUSB0", 30, "failed"));
    const std::string again = screen.str();
    EXPECT_NE(again.find("/dev/ttyUSB0: failed (status 30), unplug it"), std::string::npos) << again;
    const std::string lastBoard = again.substr(again.rfind("Updated 1"));
    EXPECT_EQ(lastBoard.find("/dev/ttyUSB0"), lastBoard.rfind("/dev/ttyUSB0")) << "one row per port: " << lastBoard;
    EXPECT_NE(lastBoard.find("/dev/ttyUSB1"), std::string::npos) << lastBoard;
  }
}

TEST(RunOutputs, ABenchOffATerminalTellsTheCountsAsLines) {
  std::ostringstream out, err;
  TRunOutputSet outputs({.ports = {}, .json = true, .stderrIsTerminal = false, .columns = 80, .logFolder = "",
                       .bench = true, .bell = true, .successStatus = 0},
                      out, err);
  outputs.portAdded(0, "COM7");
  outputs.benchCounts({.updated = 0, .failed = 0, .running = 1, .waitingForUnplug = 0});
  outputs.event(0, lines({"Start"}));
  outputs.finished(0, record("COM7", 0, "done"));
  EXPECT_EQ(err.str(), "Updated 0, failed 0, running 1, waiting for unplug 0\nCOM7: done, unplug it\n")
      << "no bell off a terminal";
  std::istringstream text(out.str());
  for (std::string line; std::getline(text, line);) EXPECT_EQ(nlohmann::json::parse(line).at("port"), "COM7");
}

}  // namespace
}  // namespace kelvry::cli
