// Several virtual loggers updated at once through the fleet runner: each
// port's own job, texts and status; the summary, JSON lines and report
// files; a cancel that reaches every port.

#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <future>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "cli/update/update_run.h"
#include "driver/exit_status.h"
#include "driver/image_digest.h"
#include "engine/status_codes.h"
#include "firmware/update_file.h"
#include "tests/support/short_image.h"
#include "tools/logger_sim/pty_logger.h"

namespace kelvry::cli {
namespace {

using namespace std::chrono_literals;

const std::string kSuccess = "Update Kelvry V2.92 succesfully completed.";
const std::string kNotReady = "Aborted because the logger is not ready!";
const std::string kCancelled = "Process cancelled!";

using test::shortImage;
using test::shortImageFile;

enum class TLoggerKind { Good, ExceptionOnIdentity, Silent };

std::unique_ptr<sim::TPtyLogger> startLogger(TLoggerKind kind) {
  sim::TLoggerConfig config;
  config.identity.appVerL = 88;
  config.extraImages.push_back(shortImage());
  // Exchanges 1 and 2 are the wake-up frames; 3 is the identity query.
  if (kind == TLoggerKind::ExceptionOnIdentity) config.faults.replyFaultAt[3] = sim::TReplyFault::ExceptionBit;
  if (kind == TLoggerKind::Silent) config.faults.silentFrom = 1;
  return std::make_unique<sim::TPtyLogger>(std::move(config));
}

class FleetRun : public ::testing::Test {
protected:
  void addLoggers(std::initializer_list<TLoggerKind> kinds) {
    for (TLoggerKind kind : kinds) {
      loggers.push_back(startLogger(kind));
      settings.output.ports.push_back(loggers.back()->portPath());
    }
  }

  TRunResult run() { return runPorts(settings, cancel, out, err); }

  const std::string& port(size_t i) const { return settings.output.ports[i]; }

  std::vector<std::string> outLines() const {
    std::vector<std::string> lines;
    std::istringstream stream(out.str());
    for (std::string line; std::getline(stream, line);) lines.push_back(line);
    return lines;
  }

  void SetUp() override {
    settings.job.maxRepeats.reset();  // a silent logger repeats until cancelled
    settings.job.request.sources = shortImageFile();
  }

  std::vector<std::unique_ptr<sim::TPtyLogger>> loggers;
  TRunSettings settings;
  std::shared_ptr<TCancelToken> cancel = std::make_shared<TCancelToken>();
  std::ostringstream out;
  std::ostringstream err;
};

TEST_F(FleetRun, EachPortEndsOnItsOwnAndACancelStopsTheRest) {
  addLoggers({TLoggerKind::Good, TLoggerKind::Good, TLoggerKind::ExceptionOnIdentity, TLoggerKind::Silent});
  auto running = std::async(std::launch::async, [this] { return run(); });
  // Once both good loggers run their new firmware, only the silent one is
  // left: cancel the run as Ctrl-C does.
  const auto deadline = std::chrono::steady_clock::now() + 60s;
  while ((loggers[0]->stats().startedIdentityReplies == 0 || loggers[1]->stats().startedIdentityReplies == 0) &&
         std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(20ms);
  std::this_thread::sleep_for(300ms);
  cancel->cancel();
  const TRunResult result = running.get();

  EXPECT_EQ(result.exitStatus, kExitSomeFailed);
  ASSERT_EQ(result.ports.size(), 4u);
  struct TExpected {
    int status;
    std::string text;
    std::string before;
  };
  const std::vector<TExpected> expected = {{0, kSuccess, "Kelvry Series V2.88"},
                                           {0, kSuccess, "Kelvry Series V2.88"},
                                           {err::LoggerException, kNotReady, ""},
                                           {err::Cancelled, kCancelled, ""}};
  for (size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE(i);
    const TPortRecord& r = result.ports[i].record;
    EXPECT_EQ(r.port, port(i));
    EXPECT_EQ(r.exitStatus, expected[i].status);
    EXPECT_EQ(r.resultText, expected[i].text);
    EXPECT_EQ(r.loggerBefore, expected[i].before);
    EXPECT_EQ(r.image.empty(), expected[i].status != 0);
    EXPECT_EQ(r.loggerAfter.empty(), expected[i].status != 0);
  }
  EXPECT_GE(result.ports[3].record.repeats, 1);

  // Every report line names its port; each port's last line is its closing
  // message; the summary follows with one row per port.
  const std::vector<std::string> lines = outLines();
  std::map<std::string, std::string> lastLine;
  size_t i = 0;
  for (; i < lines.size() && !lines[i].empty(); ++i) {
    const size_t colon = lines[i].find(": ");
    ASSERT_NE(colon, std::string::npos) << lines[i];
    lastLine[lines[i].substr(0, colon)] = lines[i].substr(colon + 2);
  }
  ASSERT_EQ(lastLine.size(), 4u);
  for (size_t p = 0; p < 4; ++p) EXPECT_EQ(lastLine[port(p)], expected[p].text);
  ASSERT_EQ(lines.size(), i + 1 + 1 + 4) << out.str();  // blank line, heading, a row per port
  EXPECT_EQ(lines[i + 1].substr(0, 4), "Port");
  EXPECT_NE(lines[i + 2].find("Kelvry V2.92"), std::string::npos);
  EXPECT_NE(lines[i + 5].find(kCancelled), std::string::npos);
}

TEST_F(FleetRun, JsonLinesAndReportFilesRecordEveryPort) {
  addLoggers({TLoggerKind::Good, TLoggerKind::ExceptionOnIdentity});
  const std::filesystem::path folder =
      std::filesystem::temp_directory_path() / ("kelvry-fleet-" + std::to_string(::getpid()));
  std::filesystem::remove_all(folder);
  settings.output.json = true;
  settings.output.logFolder = (folder / "records").string();  // made when missing
  const TRunResult result = run();
  EXPECT_EQ(result.exitStatus, kExitSomeFailed);

  std::map<std::string, nlohmann::json> results;
  std::map<std::string, int> events;
  for (const std::string& line : outLines()) {
    const nlohmann::json object = nlohmann::json::parse(line);  // every line is one object
    const std::string name = object.at("port");
    ASSERT_TRUE(name == port(0) || name == port(1)) << line;
    EXPECT_EQ(object.at("time").get<std::string>().back(), 'Z');
    if (object.contains("result")) {
      results[name] = object.at("result");
      continue;
    }
    ++events[name];
    ASSERT_TRUE(object.contains("code") && object.contains("value") && object.contains("text")) << line;
  }
  ASSERT_EQ(results.size(), 2u);
  EXPECT_EQ(results[port(0)].at("status"), 0);
  EXPECT_EQ(results[port(0)].at("text"), kSuccess);
  EXPECT_EQ(results[port(0)].at("loggerBefore"), "Kelvry Series V2.88");
  // The image is known by its digest too, in every record.
  const std::string digest = imageSha256(settings.job.request.sources, 0);
  EXPECT_EQ(results[port(0)].at("imageSha256"), digest);
  EXPECT_TRUE(results[port(1)].at("imageSha256").is_null());
  EXPECT_EQ(results[port(1)].at("status"), err::LoggerException);
  EXPECT_EQ(results[port(1)].at("text"), kNotReady);
  EXPECT_TRUE(results[port(1)].at("image").is_null());
  EXPECT_GT(events[port(0)], 10);
  // People still get the summary, on stderr.
  EXPECT_NE(err.str().find("Installed"), std::string::npos);

  // One file per port, named after the run's start and the port.
  std::map<std::string, std::string> reports;
  for (const auto& entry : std::filesystem::directory_iterator(folder / "records")) {
    std::ifstream file(entry.path());
    const std::string text((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    const std::string name = text.substr(6, text.find('\n') - 6);  // "Port: <port>"
    EXPECT_EQ(entry.path().filename().string().substr(16), "_" + name.substr(5, 3) + "-" + name.substr(9) + ".log");
    reports[name] = text;
  }
  ASSERT_EQ(reports.size(), 2u);
  for (size_t p = 0; p < 2; ++p) {
    const std::string& text = reports[port(p)];
    EXPECT_NE(text.find("-> Start at serial port \"" + port(p) + "\""), std::string::npos) << text;
    const std::string resultLine =
        "Result: " + std::to_string(result.ports[p].record.exitStatus) + " " + result.ports[p].record.resultText;
    EXPECT_NE(text.find(resultLine), std::string::npos) << text;
  }
  EXPECT_NE(reports[port(0)].find("Firmware SHA-256: " + digest + "\n"), std::string::npos) << reports[port(0)];
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace kelvry::cli
