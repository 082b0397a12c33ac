// A logger whose echo of a programmed line differs in any part, run through
// the real kelvry-update-cli: each run ends at a read-back difference naming
// the line, repeats at once and gives up at the bound. The short update image
// keeps each run to its few lines.

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <fstream>
#include <string>

#include "engine/status_codes.h"
#include "tests/cli/cli_process.h"
#include "tests/cli/qt_printers.h"
#include "tests/support/short_image.h"
#include "tools/logger_sim/pty_logger.h"

namespace kelvry {
namespace {

using sim::TEchoPart;

// The short image's vector table (line 4) is programmed last and named by
// the end line, 5; the other lines arrive in file order.
constexpr int kVectorTableArrival = 4;
constexpr int kEndLine = 5;

struct TReadBackCase {
  const char* name;
  TEchoPart part;
  int arrival;  // which data line the logger echoes wrongly, counted from 0
  int namedLine;
};

void PrintTo(const TReadBackCase& c, std::ostream* os) { *os << c.name; }

class CliReadBack : public ::testing::TestWithParam<TReadBackCase> {
protected:
  // The short image as an update file for the virtual logger's default
  // identity, for internal mode's --file.
  QString writeShortUpdateFile() {
    const QString path = files_.filePath("Kelvry_V2_92_short.upd");
    std::ofstream file(path.toStdString(), std::ios::binary);
    file << "bootloader=3\r\nbootloader version=0\r\nclass=26135\r\nversionH=2\r\nversionL=92\r\nplatform=15\r\n"
            "print=56\r\ndate=01.02.2025 10:00:00\r\n";
    for (const std::string& line : test::shortImage()) file << line << "\r\n";
    file << test::kEndOfFile << "\r\n";
    return path;
  }

  test::TCliProcess cli;
  QTemporaryDir files_;
};

TEST_P(CliReadBack, EveryRunNamesTheLineUntilTheRepeatBound) {
  const TReadBackCase& c = GetParam();
  sim::TLoggerConfig config;
  config.faults.corruptEchoOfLine = c.arrival;
  config.faults.corruptEchoAlways = true;
  config.faults.corruptEchoPart = c.part;
  config.extraImages.push_back(test::shortImage());
  sim::TPtyLogger logger(config);
  cli.enableInternalMode();
  const test::TCliRun run = cli.run({"--port", QString::fromStdString(logger.portPath()), "--yes", "--file",
                                     writeShortUpdateFile(), "--max-repeats", "1"});

  EXPECT_EQ(run.exitCode, err::ProgrammingError) << run.out.toStdString();
  EXPECT_EQ(run.out.count("-> Start at serial port"), 2);
  const QString named = QString("-> Aborted because programming error at line %1 !").arg(c.namedLine);
  EXPECT_EQ(run.out.count(named), 2) << run.out.toStdString();
  EXPECT_EQ(run.out.count("programming error at line"), 2);
  EXPECT_EQ(run.out.count("-> Repeat because programming error!"), 2);
  EXPECT_EQ(run.lastOutLine(), "Gave up after 1 repeat: programming error!");
  EXPECT_EQ(logger.stats().starts, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Parts, CliReadBack,
    ::testing::Values(TReadBackCase{"FirstDataByteOfTheVectorTable", TEchoPart::FirstDataByte, kVectorTableArrival,
                                    kEndLine},
                      TReadBackCase{"MiddleDataByteOfLineThree", TEchoPart::MiddleDataByte, 3, 3},
                      TReadBackCase{"LastDataByteOfTheVectorTable", TEchoPart::LastDataByte, kVectorTableArrival,
                                    kEndLine},
                      TReadBackCase{"AddressOfTheFirstLine", TEchoPart::Address, 0, 0},
                      TReadBackCase{"TypeOfLineTwo", TEchoPart::Type, 2, 2},
                      TReadBackCase{"LengthOfTheVectorTable", TEchoPart::Length, kVectorTableArrival, kEndLine}),
    [](const auto& p) { return std::string(p.param.name); });

}  // namespace
}  // namespace kelvry
