// The case report of a bench: the digest of each image installed, and one
// block per logger with what a record of the unit needs.

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "driver/case_report.h"
#include "driver/image_digest.h"
#include "records/sha256.h"
#include "tests/support/temp_folder.h"
#include "tests/support/test_sources.h"

namespace kelvry::cli {
namespace {

using namespace std::chrono_literals;

TEST(Sha256, GivesTheStandardDigests) {
  EXPECT_EQ(sha256Hex(""), "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(sha256Hex("abc"), "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
}

TFirmwareSources fileOf(std::vector<std::string> lines) {
  auto file = std::make_shared<TUpdateFile>();
  file->header.tarvo_class = 26135;
  file->lines = std::move(lines);
  return TFirmwareSources(std::move(file));
}

TEST(ImageDigest, CoversTheRecordsLineByLine) {
  const std::vector<std::string> lines = {test::dataRecord(0x0200), test::dataRecord(test::kVectorBlock),
                                          test::kEndOfFile};
  const TFirmwareSources sources = fileOf(lines);
  EXPECT_EQ(imageSha256(sources, 0), sha256Hex(lines[0] + "\n" + lines[1] + "\n" + lines[2] + "\n"));
  EXPECT_NE(imageSha256(sources, 0), imageSha256(sources, 4));
  EXPECT_EQ(imageSha256(sources, 4).size(), 64u);
}

TBenchLogger logger(const std::string& port, int status, const std::string& digest) {
  TBenchLogger l;
  l.identity.port = port;
  l.identity.vendorId = "0403";
  l.identity.productId = "6001";
  l.identity.serialNumber = "A10K3XQZ";
  TPortRecord& r = l.outcome.record;
  r.port = port;
  r.exitStatus = status;
  r.loggerBefore = "Kelvry Series V2.88";
  r.resultText = status == 0 ? "Update Kelvry V2.92 succesfully completed." : "Communication failed!";
  if (!digest.empty()) {
    r.image = "Kelvry V2.92 A10i BLE UART";
    r.imageSha256 = digest;
    r.loggerAfter = "Kelvry Series V2.92";
  }
  r.repeats = status == 0 ? 0 : 3;
  r.duration = 667s;
  l.started = std::chrono::system_clock::time_point(std::chrono::sys_days(std::chrono::December / 10 / 2026) + 14h);
  return l;
}

TEST(CaseReport, TellsTheRunTheImagesAndEachLogger) {
  const std::string digest = sha256Hex("image");
  TCaseReport report;
  report.started = logger("", 0, "").started;
  report.ended = report.started + 20min;
  report.cancelled = true;
  report.tool = "kelvry-update-cli 9.9";
  report.loggers = {logger("/dev/ttyUSB0", 0, digest), logger("/dev/ttyUSB1", 30, ""),
                    logger("/dev/ttyUSB2", 0, digest)};
  report.images = installedImages(report.loggers);
  ASSERT_EQ(report.images.size(), 1u) << "each image once";

  const std::string text = caseReportText(report);
  for (const std::string& expected :
       {std::string("Started: 2026-12-10T14:00:00.000Z\n"), std::string("Ended: 2026-12-10T14:20:00.000Z (stopped)\n"),
        std::string("Program: kelvry-update-cli 9.9\n"), std::string("Loggers: 3, succeeded 2, failed 1\n"),
        "Image: Kelvry V2.92 A10i BLE UART, SHA-256 " + digest + "\n",
        std::string("Logger 2: /dev/ttyUSB1\n  USB: 0403:6001, serial A10K3XQZ\n  Before: Kelvry Series V2.88\n"
                    "  After: -\n  Installed: -\n  Result: 30 Communication failed!\n"
                    "  Started: 2026-12-10T14:00:00.000Z, duration 11:07, repeats 3\n")})
    EXPECT_NE(text.find(expected), std::string::npos) << expected << "\nin\n" << text;

  report.loggers = {logger("/dev/ttyUSB1", 30, "")};
  report.images = installedImages(report.loggers);
  EXPECT_NE(caseReportText(report).find("Image: none installed\n"), std::string::npos);
}

TEST(CaseReport, ItsFileIsMadeNewBesideTheReportFiles) {
  const std::filesystem::path folder = test::makeTempFolder("kelvry-case-");
  const auto start = std::chrono::system_clock::time_point(std::chrono::sys_days(std::chrono::December / 10 / 2026));
  TCaseReportFile first(folder / "records", start);
  TCaseReportFile second(folder / "records", start);
  EXPECT_EQ(first.path().filename(), "case_20261210T000000Z.txt");
  EXPECT_EQ(second.path().filename(), "case_20261210T000000Z_2.txt");
  // The first lines are on disk from the start; the whole text at the end.
  const auto onDisk = [&] {
    std::ifstream file(first.path());
    return std::string(std::istreambuf_iterator<char>(file), {});
  };
  EXPECT_EQ(onDisk(), "Case report\nStarted: 2026-12-10T00:00:00.000Z\n");
  TCaseReport report;
  report.started = start;
  report.ended = start + std::chrono::minutes(5);
  report.tool = "kelvry-update-cli 1.4.0";
  const std::string text = caseReportText(report);
  EXPECT_EQ(first.write(text), "");
  EXPECT_EQ(onDisk(), text) << "written once, not twice";
  EXPECT_THROW(TCaseReportFile(folder / "records" / "case_20261210T000000Z.txt", start), std::runtime_error)
      << "a file where the folder should be";
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace kelvry::cli
