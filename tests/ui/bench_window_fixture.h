#pragma once

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QProgressBar>
#include <QTest>

#include "tests/support/short_image.h"
#include "tests/support/temp_folder.h"
#include "tests/ui/dialog_recorder.h"
#include "ui/bench/bench_settings.h"
#include "ui/bench/bench_window.h"

// A bench window over ports the test controls, with quick looks and a short
// settle time, the saved options back at their defaults without records,
// a records store of its own in a temporary folder, and a recorder in place
// of the user at the dialogs.

namespace kelvry::test {

class TBenchWindowTest : public testing::Test {
protected:
  void SetUp() override {
    TBenchOptions noRecords;
    noRecords.recordsFolder.clear();
    saveBenchOptions(noRecords);
    dialogs.install();
    dialogs.answer = true;
    setup.sources = shortImageFile();
    setup.pollEvery = std::chrono::milliseconds(50);
    setup.settle = std::chrono::milliseconds(300);
    setup.redrawEvery = std::chrono::milliseconds(50);
    setup.arguments.records = storeFile().string();
  }

  void TearDown() override {
    window.reset();
    dialogHooks() = defaultDialogHooks();
    std::error_code ignored;
    std::filesystem::remove_all(records, ignored);
    std::filesystem::remove_all(store, ignored);
  }

  // The records store every test's bench writes to, unless it names another.
  std::filesystem::path storeFile() const { return store / "records.sqlite"; }

  TfrmBench& open(IPortSource& ports) {
    setup.ports = &ports;
    window = std::make_unique<TfrmBench>(setup);
    window->show();
    return *window;
  }

  // Waits, with the window's events going on, until `condition` holds.
  static bool waitUntil(const std::function<bool()>& condition, int seconds = 60) {
    return QTest::qWaitFor(condition, seconds * 1000);
  }

  // The row of `port` in the port table; -1 when it has none.
  int rowOf(const std::string& port) const {
    for (int row = 0; row < window->tblPorts->rowCount(); ++row) {
      const QTableWidgetItem* item = window->tblPorts->item(row, TfrmBench::colPort);
      if (item && item->text().toStdString() == port) return row;
    }
    return -1;
  }

  QString cellOf(const std::string& port, int column) const {
    const int row = rowOf(port);
    if (row < 0) return "(no row)";
    const QTableWidgetItem* item = window->tblPorts->item(row, column);
    return item ? item->text() : QString();
  }
  QString stateOf(const std::string& port) const { return cellOf(port, TfrmBench::colState); }
  QString statusOf(const std::string& port) const { return cellOf(port, TfrmBench::colStatus); }

  // A column of the finished loggers' list, top to bottom.
  QStringList finished(int column) const {
    QStringList texts;
    for (int row = 0; row < window->tblFinished->rowCount(); ++row)
      texts << window->tblFinished->item(row, column)->text();
    return texts;
  }

  TBenchWindowSetup setup;
  TDialogRecorder dialogs;
  std::unique_ptr<TfrmBench> window;
  std::filesystem::path records = makeTempFolder("kelvry-bench-records-");
  std::filesystem::path store = makeTempFolder("kelvry-bench-store-");
};

}  // namespace kelvry::test
