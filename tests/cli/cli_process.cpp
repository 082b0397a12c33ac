#include "tests/cli/cli_process.h"

#include <signal.h>

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
  process.setProcessEnvironment(environment);
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
  QProcess process;
  start(process, arguments);
  QString out;
  QElapsedTimer clock;
  clock.start();
  while (!out.contains(trigger) && process.state() == QProcess::Running &&
         clock.elapsed() < std::chrono::milliseconds(timeout).count()) {
    process.waitForReadyRead(100);
    out += QString::fromUtf8(process.readAllStandardOutput());
  }
  if (out.contains(trigger)) ::kill(static_cast<pid_t>(process.processId()), signal);
  return finish(process, out, timeout);
}

}  // namespace kelvry::test
