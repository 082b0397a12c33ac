// The pauses around the start command, seen as the waits the job asks its
// clock for: every wait of a whole update, with how far the logger had got
// when it began.

#include <ostream>

#include "tests/engine/job_fixture.h"

namespace kelvry::test {
namespace {

struct TWait {
  std::chrono::milliseconds length;
  int recordsProgrammed;
  int starts;
  int identityQueries;
  bool operator==(const TWait&) const = default;
};

void PrintTo(const TWait& w, std::ostream* os) {
  *os << w.length.count() << " ms after " << w.recordsProgrammed << " lines, " << w.starts << " starts, "
      << w.identityQueries << " identity queries";
}

// Passes every wait on to a virtual clock and keeps those that take time.
// The logger is asked on the job's thread, between its exchanges.
class TRecordingClock final : public IClock {
public:
  TRecordingClock(sim::TVirtualClock& inner, const sim::TMemoryLogger& logger) : inner_(inner), logger_(logger) {}

  time_point now() const override { return inner_.now(); }

  bool sleepUntil(time_point deadline, const TCancelToken& cancel) override {
    const auto length = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - now());
    if (length > 0ms) {
      const sim::TLoggerStats stats = logger_.stats();
      waits.push_back({length, stats.recordsProgrammed, stats.starts, stats.identityQueries});
    }
    return inner_.sleepUntil(deadline, cancel);
  }

  std::vector<TWait> waits;

private:
  sim::TVirtualClock& inner_;
  const sim::TMemoryLogger& logger_;
};

struct TPausesCase {
  const char* name;
  bool startInBootloader;
  std::vector<TWait> waits;
};

void PrintTo(const TPausesCase& c, std::ostream* os) { *os << c.name; }

class RestartPausesTest : public JobTest, public ::testing::WithParamInterface<TPausesCase> {};

// The logger answers at once, so the only waits are the job's own pauses:
// the wake-ups', the jump's, then 500 ms once the last line is in and 4000 ms
// once the start command is out.
TEST_P(RestartPausesTest, AreTheOnlyWaitsAfterTheLastLine) {
  sim::TLoggerConfig config;
  config.identity.startInBootloader = GetParam().startInBootloader;
  std::vector<std::string> image = smallImage();
  useFileSource(image);
  image.pop_back();  // the logger knows the image by its data lines
  config.extraImages.push_back(image);
  sim::TMemoryLogger logger(config);
  TRecordingClock recording(clock, logger);

  auto worker = startCommThread(sink, request(), environment(logger, recording));
  ASSERT_TRUE(sink.waitForFinal(60s));
  worker->waitFor();
  EXPECT_EQ(sink.last(), (TNotification{ntf::JobDone, 0}));
  EXPECT_EQ(recording.waits, GetParam().waits);
}

INSTANTIATE_TEST_SUITE_P(
    Job, RestartPausesTest,
    ::testing::Values(TPausesCase{"FromTheBootloader",
                                  true,
                                  {{100ms, 0, 0, 0}, {100ms, 0, 0, 0}, {500ms, 5, 0, 1}, {4000ms, 5, 1, 1}}},
                      TPausesCase{"FromTheApplication",
                                  false,
                                  {{100ms, 0, 0, 0},
                                   {100ms, 0, 0, 0},
                                   {1ms, 0, 0, 1},
                                   {500ms, 5, 0, 2},
                                   {4000ms, 5, 1, 2}}}),
    [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace kelvry::test
