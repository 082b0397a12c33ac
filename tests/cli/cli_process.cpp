#include "tests/cli/cli_process.h"

#include <signal.h>
#include <sys/resource.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>

namespace kelvry::test {

TCliProcess::TCliProcess() = default;

void TCliProcess::enableInternalMode() {
  QDir(config_.path()).mkpath("Dralmor");
  QFile file(config_.path() + "/Dralmor/Tarvo.conf");
  file.open(QIODevice::WriteOnly);
  file.write("[General]\nintern=7319\n");
}

void TCliProcess::start(QProcess& process, const QStringList& arguments) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("XDG_CONFIG_HOME", config_.path());
  // The records' "default" file and a server's queue stay in the test's folder.
  environment.insert("XDG_DATA_HOME", dataDir());
  process.setProcessEnvironment(environment);
  if (fileSizeLimit_ >= 0) {
    process.setChildProcessModifier([limit = fileSizeLimit_] {
      const rlimit size{static_cast<rlim_t>(limit), static_cast<rlim_t>(limit)};
      ::setrlimit(RLIMIT_FSIZE, &size);
      // As under a shell's "ulimit -f": the signal at its default, which
      // ends a process that does not ignore it itself.
      ::signal(SIGXFSZ, SIG_DFL);
    });
  }
  if (!stdoutFile_.isEmpty()) process.setStandardOutputFile(stdoutFile_);
  process.start(KELVRY_UPDATE_CLI, arguments);
  process.waitForStarted();
  process.closeWriteChannel();
}

TCliRun TCliProcess::finish(QProcess& process, QString out, std::chrono::seconds timeout) {
  TCliRun result;
  result.finished = process.waitForFinished(static_cast<int>(std::chrono::milliseconds(timeout).count()));
  if (!result.finished) {
    process.kill();
    process.waitForFinished();
  }
  result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  result.out = out + QString::fromUtf8(process.readAllStandardOutput());
  result.err = QString::fromUtf8(process.readAllStandardError());
  return result;
}

TCliRun TCliProcess::run(const QStringList& arguments, std::chrono::seconds timeout) {
  QProcess process;
  start(process, arguments);
  return finish(process, {}, timeout);
}

TCliRun TCliProcess::runAndSignal(const QStringList& arguments, const QString& trigger, int signal,
                                  std::chrono::seconds timeout) {
  QString out;
  return signalWhen(arguments, [&](QProcess& process) {
    process.waitForReadyRead(100);
    out += QString::fromUtf8(process.readAllStandardOutput());
    return out.contains(trigger);
  }, signal, timeout, out);
}

TCliRun TCliProcess::runAndSignalWhen(const QStringList& arguments, const std::function<bool()>& ready, int signal,
                                      std::chrono::seconds timeout) {
  QString out;
  return signalWhen(arguments, [&](QProcess& process) {
    process.waitForReadyRead(5);
    out += QString::fromUtf8(process.readAllStandardOutput());
    return ready();
  }, signal, timeout, out);
}

TCliRun TCliProcess::signalWhen(const QStringList& arguments, const std::function<bool(QProcess&)>& ready,
                                int signal, std::chrono::seconds timeout, QString& out) {
  QProcess process;
  start(process, arguments);
  QElapsedTimer clock;
  clock.start();
  bool isReady = false;
  while (!isReady && process.state() == QProcess::Running &&
         clock.elapsed() < std::chrono::milliseconds(timeout).count())
    isReady = ready(process);
  if (!isReady) return finish(process, out, timeout);
  const auto signalled = std::chrono::steady_clock::now();
  ::kill(static_cast<pid_t>(process.processId()), signal);
  TCliRun result = finish(process, out, timeout);
  result.signalToExit = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - signalled);
  return result;
}

}  // namespace kelvry::test
