#include "tools/logger_sim/message_splitter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/tools/slave_port.h"

namespace kelvry::sim::test {
namespace {

using TKind = TLineMessage::TKind;

struct TSplitCase {
  const char* name;
  std::vector<std::string> pieces;  // delivered one after the other
  std::vector<std::string> expected;
};

std::vector<std::string> splitAll(TMessageSplitter& splitter, const std::vector<std::string>& pieces) {
  std::vector<std::string> messages;
  for (const std::string& piece : pieces) {
    for (const char byte : piece) {
      if (auto message = splitter.push(byte)) messages.push_back(message->bytes);
    }
  }
  return messages;
}

class MessageSplitterCases : public ::testing::TestWithParam<TSplitCase> {};

TEST_P(MessageSplitterCases, CutsTheStreamIntoMessages) {
  TMessageSplitter splitter;
  EXPECT_EQ(splitAll(splitter, GetParam().pieces), GetParam().expected);
}

const std::string kIdentity = identityQuery();
const std::string kInfo = ":0100000520DA";
const std::string kEof = ":00000001FF";

INSTANTIATE_TEST_SUITE_P(
    Streams, MessageSplitterCases,
    ::testing::Values(
        TSplitCase{"FrameWhole", {kIdentity}, {kIdentity}},
        TSplitCase{"FrameInPieces", {kIdentity.substr(0, 3), kIdentity.substr(3)}, {kIdentity}},
        TSplitCase{"WakeUpFrames", {wakeUpFrame() + wakeUpFrame()}, {wakeUpFrame(), wakeUpFrame()}},
        TSplitCase{"RecordInPieces", {":01000", "00520", "DA"}, {kInfo}},
        TSplitCase{"RecordWithoutData", {kEof}, {kEof}},
        TSplitCase{"BackToBack", {kInfo + kIdentity + kInfo}, {kInfo, kIdentity, kInfo}},
        TSplitCase{"NoiseSkipped", {"\r\nxyz" + kInfo + " \n" + kIdentity}, {kInfo, kIdentity}},
        TSplitCase{"CutRecordRestartsAtColon", {":010000" + kInfo}, {kInfo}},
        TSplitCase{"CutRecordRestartsAtFrame", {":0100" + kIdentity}, {kIdentity}},
        TSplitCase{"LowerCaseKeptInRecord", {":0100000520da"}, {":0100000520da"}},
        TSplitCase{"ColonInsideFrameIsData", {commandFrame(1, {':', ':', 0, 0, 0, 0})},
                   {commandFrame(1, {':', ':', 0, 0, 0, 0})}}),
    [](const auto& testCase) { return std::string(testCase.param.name); });

TEST(MessageSplitter, TellsFramesFromRecords) {
  TMessageSplitter splitter;
  std::vector<TKind> kinds;
  for (const char byte : kIdentity + kInfo) {
    if (auto message = splitter.push(byte)) kinds.push_back(message->kind);
  }
  EXPECT_EQ(kinds, (std::vector<TKind>{TKind::Frame, TKind::Record}));
}

TEST(MessageSplitter, DiscardedPartialMessageDoesNotSwallowTheNext) {
  TMessageSplitter splitter;
  splitAll(splitter, {kIdentity.substr(0, 5)});
  EXPECT_TRUE(splitter.hasPartialMessage());
  splitter.discardPartialMessage();
  EXPECT_FALSE(splitter.hasPartialMessage());
  EXPECT_EQ(splitAll(splitter, {kIdentity}), std::vector<std::string>{kIdentity});
}

}  // namespace
}  // namespace kelvry::sim::test
