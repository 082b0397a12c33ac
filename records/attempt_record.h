#pragma once

#include <chrono>
#include <string>
#include <vector>

// One update attempt on one logger as a service department keeps it: who
// ran it where and when, which logger it met and left, which image it chose
// and how it ended. A row of the records store; every attempt is one,
// cancelled and failed ones included.

namespace kelvry {

using TUtcTime = std::chrono::system_clock::time_point;

// The USB side of the port, when the port is a USB adapter; empty texts
// for a plain serial port.
struct TUsbIdentity {
  std::string vendorId;   // "0403"
  std::string productId;  // "6001"
  std::string maker;
  std::string product;
  std::string serial;

  bool operator==(const TUsbIdentity&) const = default;
};

// The logger as the job first found it, in the words of the report.
struct TLoggerBefore {
  std::string loggerClass;
  std::string version;
  std::string platform;
  std::string print;
  std::string updateData;

  bool operator==(const TLoggerBefore&) const = default;
};

// The firmware the job chose.
struct TImageUsed {
  std::string name;
  std::string sha256;
  std::string updateFile;  // the update file it came from; empty: a built-in image

  bool operator==(const TImageUsed&) const = default;
};

// What the new firmware answered with after the start; empty: not restarted.
struct TLoggerAfter {
  std::string loggerClass;
  std::string version;

  bool operator==(const TLoggerAfter&) const = default;
};

struct TAttemptRecord {
  std::string id;  // random UUID, the row's key: a record delivered twice is kept once
  std::string station;
  std::string operatorName;
  std::string programVersion;
  TUtcTime started{};
  TUtcTime ended{};
  std::string port;
  TUsbIdentity usb;
  TLoggerBefore before;
  TImageUsed image;
  TLoggerAfter after;
  int status = 0;  // the exit status a run's JSON result gives: 0 ok, 70 info only, others failed
  std::string resultText;
  int repeats = 0;
  std::chrono::milliseconds duration{};
  std::vector<std::string> report;  // the logger's report lines

  bool operator==(const TAttemptRecord&) const = default;
};

// Who a logger is across attempts: its USB serial, or its port where the
// adapter tells none.
std::string loggerKey(const TAttemptRecord& record);

// The firmware the logger runs after the attempt: the new one when it
// answered after the start, else the one it had.
std::string firmwareAfterAttempt(const TAttemptRecord& record);

}  // namespace kelvry
