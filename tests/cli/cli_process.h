#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QTemporaryDir>

#include <chrono>
#include <functional>
#include <string>

// Runs the real kelvry-update-cli as a child process, with a per-test user
// configuration folder so that the developer's own internal-mode setting
// never leaks into a test.

namespace kelvry::test {

struct TCliRun {
  int exitCode = -1;
  bool finished = false;  // false: killed after the time-out
  // From the signal of runAndSignal to the process's end; negative: none sent.
  std::chrono::milliseconds signalToExit{-1};
  QString out;
  QString err;

  QStringList outLines() const { return out.split('\n', Qt::SkipEmptyParts); }
  QStringList errLines() const { return err.split('\n', Qt::SkipEmptyParts); }
  QString lastOutLine() const { return outLines().value(outLines().size() - 1); }
};

class TCliProcess {
public:
  TCliProcess();

  // Writes the per-user setting that switches internal mode on.
  void enableInternalMode();

  // Files the program writes can grow to `bytes` only; a longer write fails
  // as on a full disk (EFBIG rather than a signal).
  void limitFileSize(long bytes) { fileSizeLimit_ = bytes; }

  // The program's stdout goes to `file` (e.g. "/dev/full") and not back to
  // the test.
  void sendStdoutTo(const QString& file) { stdoutFile_ = file; }

  // Runs the program to its end; stdin is an empty pipe, not a terminal.
  TCliRun run(const QStringList& arguments, std::chrono::seconds timeout = std::chrono::seconds(60));

  // Runs the program and sends `signal` once its stdout holds `trigger`.
  TCliRun runAndSignal(const QStringList& arguments, const QString& trigger, int signal,
                       std::chrono::seconds timeout = std::chrono::seconds(60));
  // The same, once `ready` holds (looked at every few milliseconds).
  TCliRun runAndSignalWhen(const QStringList& arguments, const std::function<bool()>& ready, int signal,
                           std::chrono::seconds timeout = std::chrono::seconds(60));

  QString configDir() const { return config_.path(); }
  // The program's user data folder (XDG_DATA_HOME): records, queues.
  QString dataDir() const { return config_.path() + "/data"; }

private:
  TCliRun finish(QProcess& process, QString out, std::chrono::seconds timeout);
  TCliRun signalWhen(const QStringList& arguments, const std::function<bool(QProcess&)>& ready, int signal,
                     std::chrono::seconds timeout, QString& out);
  void start(QProcess& process, const QStringList& arguments);

  QTemporaryDir config_;
  long fileSizeLimit_ = -1;  // negative: no limit
  QString stdoutFile_;       // empty: stdout is read by the test
};

}  // namespace kelvry::test
