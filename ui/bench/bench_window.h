#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTimer>

#include "driver/bench_run.h"
#include "driver/case_report.h"
#include "driver/locked_outputs.h"
#include "driver/report_log_file.h"
#include "driver/simulated_bench.h"
#include "firmware/firmware_sources.h"
#include "ui/bench/bench_arguments.h"
#include "ui/bench/bench_records.h"
#include "ui/bench/bench_rows.h"
#include "ui/bench/bench_settings.h"
#include "ui/bench/last_update_lookup.h"
#include "ui/bench/watched_ports.h"

// The bench in a window, for a case of loggers: every logger plugged in is
// updated once, each on its own thread through the same driver as the
// command line's --bench, with the same repeats, bound, texts and statuses.
// One row per port shows how its logger fares; finished loggers stay in a
// list below. Guard rails: nothing is touched until Start, which names the
// ports it will take; ports outside the filter are never opened; Stop and
// closing ask while updates run; no stray Return or Space starts or stops.
// Every attempt is kept in the records store, and each row tells when its
// logger was last updated.

namespace kelvry {

struct TBenchWindowSetup {
  TBenchArguments arguments;
  // Where loggers are plugged in; unset: virtual loggers with --simulate,
  // else the computer's USB serial ports.
  IPortSource* ports = nullptr;
  // Where a port's jobs find their logger; unset: the platform's serial port.
  std::function<TJobEnvironment(const std::string& port)> environmentFor;
  TFirmwareSources sources;
  // --simulate: how far apart the virtual loggers are plugged in.
  std::chrono::milliseconds plugEvery = TSimulatedBench::kPlugEvery;
  std::chrono::milliseconds pollEvery{250};
  std::chrono::milliseconds settle{1000};
  std::chrono::milliseconds redrawEvery{200};
};

class TfrmBench : public QMainWindow {
  Q_OBJECT

public:
  explicit TfrmBench(TBenchWindowSetup setup);
  ~TfrmBench() override;

  // The bench runs from Start until Stop, the expected count, or closing.
  bool isRunning() const { return FThread.joinable() && !FFinished; }
  // Loggers being updated now.
  int runningJobs() const { return FCounts.running; }
  // The case report of the last bench that ended; empty before.
  const std::string& caseReportText() const { return FCaseReportText; }

  void btnStartClick();
  void btnStopClick();

  // Controls, named for the tests.
  QLabel* lblCounts = nullptr;
  QLabel* lblImages = nullptr;
  QPushButton* btnStart = nullptr;
  QPushButton* btnStop = nullptr;
  QComboBox* cbxFilter = nullptr;
  QLineEdit* edtRecords = nullptr;
  QSpinBox* spnExpect = nullptr;
  QCheckBox* chkSoundDone = nullptr;
  QCheckBox* chkSoundFailed = nullptr;
  QTableWidget* tblPorts = nullptr;
  QTableWidget* tblFinished = nullptr;
  QPlainTextEdit* txtCaseReport = nullptr;

  // Port table columns.
  enum TPortColumn { colPort, colIdentity, colLogger, colProgress, colState, colStatus, colResult, colLastUpdated };

protected:
  void closeEvent(QCloseEvent* event) override;

private:
  struct TPortRow {
    TUsbPortIdentity identity;
    std::optional<size_t> job;  // the job of the logger now on the port
    TUsbPortIdentity jobIdentity;
    std::optional<std::string> lastUpdatedFor;  // the serial lastUpdated was read for
    std::string lastUpdated;
  };

  void buildControls();
  QWidget* buildHeader();
  QWidget* buildOptions();
  void showOptions();
  TBenchOptions optionsShown() const;
  void fillFilterChoices(const std::vector<TUsbPortIdentity>& seen);
  std::vector<TPortFilter> filters() const;
  std::string recordsFolder() const;

  bool askToStart(const std::vector<TUsbPortIdentity>& ports);
  bool makeRecords(std::chrono::system_clock::time_point start);
  bool openRecords();
  void startBench();
  void stopAndWait();
  void benchEnded();
  void writeCaseReport(const TBenchResult& result);

  void redraw();
  void takeJobChanges();
  void matchRowsToPorts(const std::vector<TUsbPortIdentity>& present);
  void lookUpLastUpdate(TPortRow& row, const TUsbPortIdentity& identity);
  void drawRow(int row, const TPortRow& port);
  void addFinished(const TBenchJobState& job);
  void soundFor(const TPortRecord& record);
  void drawCounts();
  void setIdle(bool idle);

  TBenchWindowSetup FSetup;
  std::unique_ptr<IPortSource> FOwnPorts;
  TSimulatedBench* FSimulated = nullptr;  // FOwnPorts, with --simulate
  std::unique_ptr<TWatchedPorts> FPorts;
  TBenchOptions FOptions;
  std::vector<TPortFilter> FFilters;  // of the bench that runs

  // The bench that runs, or ran last.
  std::shared_ptr<TCancelToken> FCancel;
  std::unique_ptr<TBenchRows> FRows;
  std::unique_ptr<TReportFiles> FReportFiles;
  std::ostringstream FReportErrors;
  std::unique_ptr<TBenchRecords> FRecords;  // the store of the bench that runs
  TLastUpdateLookup FLastUpdates;
  std::unique_ptr<TLockedOutputs> FOutputs;
  std::optional<TCaseReportFile> FCaseFile;
  std::chrono::system_clock::time_point FStarted{};
  TBenchSettings FBenchSettings;
  std::thread FThread;
  TBenchResult FResult;  // the loop's, once it has returned
  bool FFinished = false;   // its loop has returned and its case report is written
  bool FStopped = false;    // by Stop or by closing
  bool FEverRan = false;

  std::vector<TBenchJobState> FJobs;  // by job index, as last drawn
  std::map<std::string, TPortRow> FPortRows;
  std::vector<std::string> FRowOrder;  // ports in table order
  TBenchCounts FCounts;
  std::string FCaseReportText;
  QTimer FRedrawTimer;
};

// The options of the program's command line; throws std::invalid_argument.
TBenchWindowSetup benchWindowSetupFromProgram(const std::vector<std::string>& arguments);

}  // namespace kelvry
