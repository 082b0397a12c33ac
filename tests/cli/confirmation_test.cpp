// The question before an update, asked on the terminal.

#include <gtest/gtest.h>

#include <ostream>
#include <sstream>

#include "cli/console/confirmation.h"
#include "frontend/update_question.h"

namespace kelvry::cli {
namespace {

const std::string kClears = "This update clears all measurements!\r\nDo you really continue ?";
const std::string kSaved = "Do you save your measurements ?\r\nDo you really continue without saving ?";

TEST(Confirmation, QuestionFollowsTheRunOptions) {
  EXPECT_EQ(confirmationQuestion(false, 0), kSaved);
  EXPECT_EQ(confirmationQuestion(false, 1), "");
  EXPECT_EQ(confirmationQuestion(false, 2), "");
  for (int mode : {0, 1, 2}) EXPECT_EQ(confirmationQuestion(true, mode), kClears) << mode;
}

struct TAnswerCase {
  const char* typed;
  bool yes;
};

std::ostream& operator<<(std::ostream& out, const TAnswerCase& c) { return out << '"' << c.typed << '"'; }

class ConfirmationAnswer : public ::testing::TestWithParam<TAnswerCase> {};

TEST_P(ConfirmationAnswer, OnlyYesGoesOn) {
  std::istringstream answers(GetParam().typed);
  std::ostringstream prompt;
  EXPECT_EQ(askYesNo(kClears, answers, prompt), GetParam().yes) << '"' << GetParam().typed << '"';
  EXPECT_EQ(prompt.str().rfind("This update clears all measurements!\nDo you really continue ? [y/N] ", 0), 0u)
      << prompt.str();
}

INSTANTIATE_TEST_SUITE_P(Answers, ConfirmationAnswer,
                         ::testing::Values(TAnswerCase{"y\n", true}, TAnswerCase{"Y\n", true},
                                           TAnswerCase{"yes\n", true}, TAnswerCase{" YES \n", true},
                                           TAnswerCase{"y", true}, TAnswerCase{"n\n", false},
                                           TAnswerCase{"\n", false}, TAnswerCase{"", false},
                                           TAnswerCase{"yess\n", false}, TAnswerCase{"no\ny\n", false}));

}  // namespace
}  // namespace kelvry::cli
