// One port's job view driven by notification streams, with recorded worker
// starts instead of real workers, writing to the outputs of a single
// update: what reaches stdout, the exit status, the repeat bound and the
// cancel that must survive a repeat.

#include <gtest/gtest.h>

#include <QRegularExpression>
#include <QString>

#include <optional>
#include <ostream>
#include <sstream>
#include <string>
#include <vector>

#include "cli/outputs/progress_line.h"
#include "cli/outputs/run_output_set.h"
#include "driver/port_job_view.h"
#include "engine/status_codes.h"
#include "frontend/report_line.h"
#include "tests/support/recording_sink.h"
#include "tools/logger_sim/memory_logger.h"
#include "tools/logger_sim/virtual_clock.h"

namespace kelvry::cli {
namespace {

using namespace std::chrono_literals;
using Lines = std::vector<std::string>;

sim::TLoggerConfig bootloaderLogger() {
  sim::TLoggerConfig config;
  config.identity.startInBootloader = true;
  return config;
}

class PortJobView : public ::testing::Test {
protected:
  // Notes every pause instead of waiting; a signal may arrive during it.
  class TRecordingClock : public IClock {
  public:
    explicit TRecordingClock(PortJobView& test) : test_(test) {}
    time_point now() const override { return {}; }
    bool sleepUntil(time_point deadline, const TCancelToken& cancel) override {
      const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now());
      test_.events.push_back("pause " + std::to_string(wait.count()));
      if (test_.signalDuringPause) test_.runCancel->cancel();  // what the signal watcher does
      return !cancel.isCancelled();
    }

  private:
    PortJobView& test_;
  };

  PortJobView() {
    // Records each start. The worker only reads the logger's data, so that
    // its choice (image 4) is there for the texts; the notifications the
    // view handles are the test's own.
    session.CommThreadClass = [this](INotificationSink& hWindow, TUpdateRequest request) {
      events.push_back("start " + std::to_string(ordinal(request.cmd)));
      request.bReadInfoOnly = true;
      return startCommThread(
          hWindow, std::move(request),
          {.makeTransport = [this](const TCancelToken& cancel) { return logger.connect(jobClock, cancel); },
           .clock = &jobClock});
    };
  }

  TPortJobView& view(std::optional<int> maxRepeats = std::nullopt, bool trace = false) {
    TUpdateRequest request;
    request.sPort = "/dev/ttyUSB0";
    view_.emplace(TJobViewSettings{.portText = "/dev/ttyUSB0", .trace = trace, .maxRepeats = maxRepeats,
                                   .request = request},
                  session, outputs, 0, clock);
    return *view_;
  }

  // stdout with the time stamps taken off the report lines.
  Lines outLines() const {
    static const QRegularExpression kStamp(R"(^\d\d-\d\d-\d\d -> )");
    Lines lines;
    std::istringstream text(out.str());
    for (std::string line; std::getline(text, line);) {
      QString qline = QString::fromStdString(line);
      lines.push_back(kStamp.match(qline).hasMatch() ? "report: " + qline.mid(12).toStdString() : line);
    }
    return lines;
  }

  std::ostringstream out;
  std::ostringstream terminal;
  TRunOutputSet outputs{TRunOutputSettings{.ports = {"/dev/ttyUSB0"}, .json = false, .stderrIsTerminal = false, .columns = 80, .logFolder = ""}, out, terminal};
  std::shared_ptr<TCancelToken> runCancel = std::make_shared<TCancelToken>();  // the one a signal sets
  bool signalDuringPause = false;
  std::vector<std::string> events;
  sim::TMemoryLogger logger{bootloaderLogger()};
  sim::TVirtualClock jobClock;
  test::TRecordingSink sink;
  TJobSession session{sink, {}, runCancel};
  TRecordingClock clock{*this};

private:
  std::optional<TPortJobView> view_;
};

TEST_F(PortJobView, ClosingTextIsTheLastLineAndAppearsOnce) {
  TPortJobView& v = view();
  v.StartJob(TCmd::tCMD0);
  v.handle({ntf::Progress, 45});
  v.handle({ntf::JobDone, 0});
  EXPECT_EQ(outLines(), (Lines{"report: Start at serial port \"/dev/ttyUSB0\"", "report: Progress 45%",
                               "Update Kelvry V2.92 succesfully completed."}));
  EXPECT_FALSE(v.busy());
  EXPECT_EQ(v.exitStatus(), 0);
  EXPECT_EQ(events, (Lines{"start 0"}));
}

TEST_F(PortJobView, MessageOnlyTextFollowsTheReport) {
  TPortJobView& v = view();
  v.StartJob(TCmd::tCMD0);
  v.handle({ntf::LineNotRecord, 3});
  v.handle({ntf::JobFailed, err::ConversionError});
  EXPECT_EQ(outLines(), (Lines{"report: Start at serial port \"/dev/ttyUSB0\"",
                               "report: Aborted because conversion error at line  3 !",
                               "Aborted because conversion error!"}));
  EXPECT_EQ(v.exitStatus(), err::ConversionError);
}

TEST_F(PortJobView, ReportLinesCarryTheLocalTime) {
  EXPECT_TRUE(QRegularExpression(R"(^([01]\d|2[0-3])-[0-5]\d-[0-5]\d -> Info 5$)")
                  .match(QString::fromStdString(stampedReportLine("Info 5")))
                  .hasMatch());
}

TEST_F(PortJobView, TraceLinePrecedesTheTextsOfItsNotification) {
  TPortJobView& v = view(std::nullopt, true);
  v.StartJob(TCmd::tCMD0);
  v.handle({ntf::Progress, 45});
  v.handle({ntf::VectorTable, 2});
  EXPECT_EQ(outLines(), (Lines{"report: Start at serial port \"/dev/ttyUSB0\"", "notify 1 45", "report: Progress 45%",
                               "notify 40 2"}));
}

struct TExitCase {
  TNotification final;
  int exitStatus;
};

std::ostream& operator<<(std::ostream& out, const TExitCase& c) {
  return out << "notification " << c.final.code << " value " << c.final.value;
}

class PortJobExit : public PortJobView, public ::testing::WithParamInterface<TExitCase> {};

TEST_P(PortJobExit, ExitStatusFollowsTheFinalNotification) {
  TPortJobView& v = view();
  v.StartJob(TCmd::tCMD0);
  v.handle(GetParam().final);
  EXPECT_FALSE(v.busy());
  EXPECT_EQ(v.exitStatus(), GetParam().exitStatus);
}

INSTANTIATE_TEST_SUITE_P(
    Finals, PortJobExit,
    ::testing::Values(TExitCase{{ntf::JobDone, 0}, 0}, TExitCase{{ntf::JobFailed, 10}, 10},
                      TExitCase{{ntf::JobFailed, 11}, 11}, TExitCase{{ntf::JobFailed, 20}, 20},
                      TExitCase{{ntf::JobFailed, 21}, 21},
                      TExitCase{{ntf::JobFailed, 40}, 40}, TExitCase{{ntf::JobFailed, 47}, 47},
                      TExitCase{{ntf::JobFailed, 70}, 70},
                      // A failure outside the engine's codes is unexpected, never usage.
                      TExitCase{{ntf::JobFailed, 0}, 1}, TExitCase{{ntf::JobFailed, 2}, 1},
                      TExitCase{{ntf::JobFailed, 99}, 1}));

TEST_F(PortJobView, ReadBackErrorRepeatsAtOnceUntilTheBound) {
  TPortJobView& v = view(1);
  v.StartJob(TCmd::tCMD0);
  v.handle({ntf::ReadBackDiffers, 9});
  v.handle({ntf::JobFailed, err::ProgrammingError});
  EXPECT_TRUE(v.busy());
  EXPECT_EQ(events, (Lines{"start 0", "start 0"}));

  v.handle({ntf::JobFailed, err::ProgrammingError});
  EXPECT_FALSE(v.busy());
  EXPECT_EQ(v.exitStatus(), err::ProgrammingError);
  EXPECT_EQ(v.repeats(), 1);
  EXPECT_EQ(outLines().back(), "Gave up after 1 repeat: programming error!");
  EXPECT_EQ(outLines()[outLines().size() - 2], "report: Repeat because programming error!");
}

TEST_F(PortJobView, CommunicationFailureWaitsThenRepeatsTheSameCommand) {
  TPortJobView& v = view();
  v.StartJob(TCmd::tCMD_TEST);
  v.handle({ntf::CommFailure, ordinal(TCmd::tCMD_TEST)});
  EXPECT_TRUE(v.busy());
  EXPECT_EQ(events, (Lines{"start 3", "pause 1500", "start 3"}));
  EXPECT_EQ(outLines(), (Lines{"report: Start at serial port \"/dev/ttyUSB0\"",
                               "report: Repeat update because communication error!",
                               "report: Start at serial port \"/dev/ttyUSB0\""}));
}

TEST_F(PortJobView, CommunicationFailurePastTheBoundEndsWithCode30) {
  TPortJobView& v = view(0);
  v.StartJob(TCmd::tCMD0);
  v.handle({ntf::CommFailure, 0});
  EXPECT_FALSE(v.busy());
  EXPECT_EQ(v.exitStatus(), err::NoReply);
  EXPECT_EQ(events, (Lines{"start 0"}));
  EXPECT_EQ(outLines().back(), "Gave up after 0 repeats: communication error!");
}

TEST_F(PortJobView, CancelBeforeTheFailureStaysInForceForTheRepeat) {
  TPortJobView& v = view();
  v.StartJob(TCmd::tCMD0);
  session.cancel();  // asked for while the failing job ran
  v.handle({ntf::CommFailure, 0});
  EXPECT_TRUE(session.cancelled());
  EXPECT_EQ(events, (Lines{"start 0", "pause 1500", "start 0"}));
}

TEST_F(PortJobView, SignalDuringTheWaitCancelsTheRepeat) {
  TPortJobView& v = view();
  v.StartJob(TCmd::tCMD0);
  signalDuringPause = true;
  v.handle({ntf::CommFailure, 0});
  EXPECT_TRUE(session.cancelled());
}

TEST_F(PortJobView, SignalBeforeAReadBackRepeatCancelsItToo) {
  TPortJobView& v = view();
  v.StartJob(TCmd::tCMD0);
  runCancel->cancel();  // what the signal watcher does
  v.handle({ntf::JobFailed, err::ProgrammingError});
  EXPECT_TRUE(v.busy());
  EXPECT_TRUE(session.cancelled());
}

TEST_F(PortJobView, JobStartClearsAnOldCancelButNotASignal) {
  session.cancel();
  view().StartJob(TCmd::tCMD0);
  EXPECT_FALSE(session.cancelled());
  runCancel->cancel();
  view().StartJob(TCmd::tCMD0);
  EXPECT_TRUE(session.cancelled());
}

TEST(ProgressLine, DrawsNothingOffATerminal) {
  std::ostringstream stream;
  TProgressLine line(stream, false, 80);
  line.show();
  line.setPercent(50);
  line.setStatus("Update");
  line.beep();
  line.hide();
  EXPECT_EQ(stream.str(), "");
}

TEST(ProgressLine, SendsNothingWhenTheLineStaysTheSame) {
  std::ostringstream stream;
  TProgressLine line(stream, true, 80);
  line.setStatus("Update");
  line.show();
  stream.str("");
  line.setStatus("Update");
  line.setPercent(0);
  EXPECT_EQ(stream.str(), "");
  line.setStatus("Erase");
  EXPECT_NE(stream.str(), "");
  // Once taken away, the line is drawn again in full.
  line.hide();
  stream.str("");
  line.show();
  EXPECT_NE(stream.str(), "");
}

TEST(ProgressLine, RedrawsInPlaceWithinTheTerminalWidth) {
  std::ostringstream stream;
  TProgressLine line(stream, true, 40);
  line.setStatus(std::string(100, 's'));
  line.setPercent(50);
  line.show();
  const std::string drawn = stream.str();
  ASSERT_EQ(drawn.front(), '\r');
  const std::string visible = drawn.substr(1, drawn.find('\033') - 1);
  EXPECT_LT(visible.size(), 40u);
  EXPECT_EQ(visible.substr(0, 32), "[###############...............]");
  EXPECT_NE(visible.find(" 50%"), std::string::npos);
  stream.str("");
  line.hide();
  EXPECT_EQ(stream.str(), "\r\033[K");
}

}  // namespace
}  // namespace kelvry::cli
