#include "ui/bench/bench_window.h"

#include <algorithm>
#include <set>
#include <stdexcept>

#include <QApplication>
#include <QCloseEvent>
#include <QDateTime>
#include <QDir>
#include <QFileDialog>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QProgressBar>
#include <QStatusBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "driver/duration_text.h"
#include "driver/exit_status.h"
#include "driver/image_digest.h"
#include "driver/port_filter.h"
#include "driver/simulated_bench.h"
#include "driver/utf8_path.h"
#include "frontend/job_request.h"
#include "frontend/job_session.h"
#include "frontend/platform_job_environment.h"
#include "frontend/text_format.h"
#include "kelvry_version.h"
#include "ui/bench/bench_row_text.h"
#include "ui/click_only_keys.h"
#include "ui/dialog_hooks.h"
#include "ui/error_handler.h"
#include "ui/qt_dialog_settings_keeper.h"

namespace kelvry {

namespace {

QString toQt(const std::string& text) { return QString::fromStdString(text); }

// Light backgrounds that keep black text readable; the state's word says
// the same, for whoever does not tell the colours apart.
QColor stateColour(TRowState state) {
  switch (state) {
    case TRowState::Updating: return QColor(0xbb, 0xde, 0xfb);
    case TRowState::Done: return QColor(0xc8, 0xe6, 0xc9);
    case TRowState::Failed: return QColor(0xff, 0xcd, 0xd2);
    case TRowState::PluggedIn: return QColor(0xff, 0xf9, 0xc4);
    case TRowState::NotTaken: return QColor(0xee, 0xee, 0xee);
    default: return QColor();
  }
}

std::string identityText(const TUsbPortIdentity& identity) {
  std::string text = identity.manufacturer;
  for (const std::string* part : {&identity.product, &identity.serialNumber})
    if (!part->empty()) text += (text.empty() ? "" : ", ") + *part;
  return text;
}

QTableWidgetItem* cell(QTableWidget& table, int row, int column) {
  QTableWidgetItem* item = table.item(row, column);
  if (!item) {
    item = new QTableWidgetItem;
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    table.setItem(row, column, item);
  }
  return item;
}

QString imagesText(const TFirmwareSources& sources, QString& fullText) {
  QStringList shown;
  QStringList full;
  const uint32_t first = sources.hasFile() ? 0 : 1;
  const uint32_t last = sources.hasFile() ? 0 : TFirmwareSources::getImageCount();
  for (uint32_t source = first; source <= last; ++source) {
    TBl3FileHeader header;
    sources.getFirmwareHeader(source, header);
    const std::string sha = imageSha256(sources, static_cast<int>(source));
    shown << toQt(imageText(header) + " (" + sha.substr(0, 8) + ")");
    full << toQt(imageText(header) + "  SHA-256 " + sha);
  }
  fullText = full.join('\n');
  return "Images: " + shown.join(", ");
}

}  // namespace

TBenchWindowSetup benchWindowSetupFromProgram(const std::vector<std::string>& arguments) {
  TBenchWindowSetup setup;
  setup.arguments = parseBenchArguments(arguments);
  return setup;
}

TfrmBench::TfrmBench(TBenchWindowSetup setup)
    : FSetup(std::move(setup)), FLastUpdates(FSetup.arguments.records) {
  setWindowTitle("Kelvry Bench");
  IPortSource* ports = FSetup.ports;
  if (!ports) {
    if (FSetup.arguments.simulate) {
      auto simulated = std::make_unique<TSimulatedBench>(FSetup.arguments.simulate, FSetup.sources, FSetup.plugEvery);
      FSimulated = simulated.get();
      FOwnPorts = std::move(simulated);
    } else {
      FOwnPorts = std::make_unique<TUsbPortSource>();
    }
    ports = FOwnPorts.get();
  }
  FPorts = std::make_unique<TWatchedPorts>(*ports);
  FOptions = loadBenchOptions();
  buildControls();
  showOptions();
  setIdle(true);
  connect(&FRedrawTimer, &QTimer::timeout, this, [this] { redraw(); });
  FRedrawTimer.start(static_cast<int>(FSetup.redrawEvery.count()));
  redraw();
  // The focus rests on Start, where a stray key does nothing.
  btnStart->setFocus();
  if (FSetup.arguments.yes) QTimer::singleShot(0, this, [this] { btnStartClick(); });
}

TfrmBench::~TfrmBench() { stopAndWait(); }

// --- controls --------------------------------------------------------------

void TfrmBench::buildControls() {
  auto* central = new QWidget(this);
  auto* layout = new QVBoxLayout(central);
  layout->addWidget(buildHeader());
  layout->addWidget(buildOptions());

  tblPorts = new QTableWidget(0, 8, central);
  tblPorts->setHorizontalHeaderLabels(
      {"Port", "USB identity", "Logger", "Progress", "State", "Status", "Result", "Last updated"});
  tblPorts->verticalHeader()->hide();
  tblPorts->horizontalHeader()->setStretchLastSection(true);
  tblPorts->setSelectionMode(QAbstractItemView::NoSelection);
  tblPorts->horizontalHeader()->setSectionResizeMode(colLogger, QHeaderView::ResizeToContents);
  tblPorts->setColumnWidth(colProgress, 170);
  tblPorts->setColumnWidth(colStatus, 300);
  layout->addWidget(tblPorts, 3);

  auto* tabs = new QTabWidget(central);
  tblFinished = new QTableWidget(0, 9, tabs);
  tblFinished->setHorizontalHeaderLabels(
      {"Ended", "Port", "USB serial", "Logger before", "Logger after", "Image", "Result", "Repeats", "Duration"});
  tblFinished->verticalHeader()->hide();
  tblFinished->horizontalHeader()->setStretchLastSection(true);
  tabs->addTab(tblFinished, "&Finished loggers");
  txtCaseReport = new QPlainTextEdit(tabs);
  txtCaseReport->setReadOnly(true);
  tabs->addTab(txtCaseReport, "Case &report");
  layout->addWidget(tabs, 2);

  setCentralWidget(central);
  resize(1100, 700);
}

QWidget* TfrmBench::buildHeader() {
  auto* header = new QWidget(this);
  auto* layout = new QVBoxLayout(header);
  layout->setContentsMargins(0, 0, 0, 0);
  lblCounts = new QLabel(header);
  QFont big = lblCounts->font();
  big.setPointSizeF(big.pointSizeF() * 1.4);
  big.setBold(true);
  lblCounts->setFont(big);
  layout->addWidget(lblCounts);
  lblImages = new QLabel(header);
  QString full;
  lblImages->setText(imagesText(FSetup.sources, full));
  lblImages->setToolTip(full);
  lblImages->setWordWrap(true);
  layout->addWidget(lblImages);
  return header;
}

QWidget* TfrmBench::buildOptions() {
  auto* box = new QGroupBox("Case", this);
  auto* row = new QHBoxLayout(box);
  btnStart = new QPushButton("&Start", box);
  btnStop = new QPushButton("S&top", box);
  // A stray Return or Space on the focused button never starts or stops a
  // case: a click or the Alt letter does.
  ignoreActivationKeys(*btnStart);
  ignoreActivationKeys(*btnStop);
  btnStart->setAutoDefault(false);
  btnStop->setAutoDefault(false);
  connect(btnStart, &QPushButton::clicked, this, [this] { runUserAction(this, [this] { btnStartClick(); }); });
  connect(btnStop, &QPushButton::clicked, this, [this] { runUserAction(this, [this] { btnStopClick(); }); });
  row->addWidget(btnStart);
  row->addWidget(btnStop);

  auto* form = new QFormLayout;
  cbxFilter = new QComboBox(box);
  cbxFilter->setToolTip("Only ports of this USB adapter are taken; the others are shown greyed and never opened.");
  auto* filterLabel = new QLabel("&Ports:", box);
  filterLabel->setBuddy(cbxFilter);
  form->addRow(filterLabel, cbxFilter);

  auto* records = new QHBoxLayout;
  edtRecords = new QLineEdit(box);
  edtRecords->setPlaceholderText("no records kept");
  edtRecords->setToolTip("A report file per logger and the case report go here.");
  auto* browse = new QPushButton("&Browse...", box);
  browse->setAutoDefault(false);
  connect(browse, &QPushButton::clicked, this, [this] {
    // Qt's dialog would keep its last folder in the user's settings.
    const TQtDialogSettingsKeeper keeper;
    const QString folder = QFileDialog::getExistingDirectory(this, "Records folder", edtRecords->text(),
                                                             QFileDialog::DontUseNativeDialog);
    if (!folder.isEmpty()) edtRecords->setText(QDir::toNativeSeparators(folder));
  });
  records->addWidget(edtRecords);
  records->addWidget(browse);
  auto* recordsLabel = new QLabel("&Records:", box);
  recordsLabel->setBuddy(edtRecords);
  form->addRow(recordsLabel, records);
  row->addLayout(form, 1);

  auto* more = new QFormLayout;
  spnExpect = new QSpinBox(box);
  spnExpect->setRange(0, 1000);
  spnExpect->setSpecialValueText("until Stop");
  auto* expectLabel = new QLabel("&Loggers in the case:", box);
  expectLabel->setBuddy(spnExpect);
  more->addRow(expectLabel, spnExpect);
  chkSoundDone = new QCheckBox("Sound when &done", box);
  chkSoundFailed = new QCheckBox("Sound when f&ailed", box);
  more->addRow(chkSoundDone);
  more->addRow(chkSoundFailed);
  row->addLayout(more);
  return box;
}

void TfrmBench::showOptions() {
  edtRecords->setText(toQt(FSetup.arguments.logDir ? *FSetup.arguments.logDir : FOptions.recordsFolder));
  spnExpect->setValue(FSetup.arguments.expect ? *FSetup.arguments.expect : FOptions.expect);
  chkSoundDone->setChecked(FOptions.soundDone);
  chkSoundFailed->setChecked(FOptions.soundFailed);
  fillFilterChoices({});
}

TBenchOptions TfrmBench::optionsShown() const {
  TBenchOptions options = FOptions;
  options.filter = cbxFilter->currentData().toString().toStdString();
  // What the command line set is for this run only.
  if (!FSetup.arguments.logDir) options.recordsFolder = edtRecords->text().trimmed().toStdString();
  if (!FSetup.arguments.expect) options.expect = spnExpect->value();
  options.soundDone = chkSoundDone->isChecked();
  options.soundFailed = chkSoundFailed->isChecked();
  return options;
}

void TfrmBench::fillFilterChoices(const std::vector<TUsbPortIdentity>& seen) {
  const QString chosen = cbxFilter->count() ? cbxFilter->currentData().toString() : toQt(FOptions.filter);
  if (cbxFilter->count() == 0) cbxFilter->addItem("Every USB serial port", QString());
  if (!chosen.isEmpty() && cbxFilter->findData(chosen) < 0) cbxFilter->addItem(chosen, chosen);
  for (const TUsbPortIdentity& identity : seen) {
    if (identity.vendorId.empty()) continue;
    const QString id = toQt(identity.vendorId + ":" + identity.productId);
    if (cbxFilter->findData(id) >= 0) continue;
    const std::string name = identity.manufacturer + (identity.product.empty() ? "" : " " + identity.product);
    cbxFilter->addItem(id + (name.empty() ? QString() : "  " + toQt(name)), id);
  }
  cbxFilter->setCurrentIndex(std::max(0, cbxFilter->findData(chosen)));
}

std::vector<TPortFilter> TfrmBench::filters() const {
  std::vector<TPortFilter> chosen;
  if (auto filter = parsePortFilter(cbxFilter->currentData().toString().toStdString())) chosen.push_back(*filter);
  return chosen;
}

std::string TfrmBench::recordsFolder() const { return edtRecords->text().trimmed().toStdString(); }

void TfrmBench::setIdle(bool idle) {
  btnStart->setEnabled(idle);
  btnStop->setEnabled(!idle);
  for (QWidget* option : std::initializer_list<QWidget*>{cbxFilter, edtRecords, spnExpect})
    option->setEnabled(idle);
  statusBar()->showMessage(idle ? "Nothing is touched until Start." : "Every logger plugged in is updated once.");
}

// --- start and stop --------------------------------------------------------

bool TfrmBench::askToStart(const std::vector<TUsbPortIdentity>& ports) {
  if (FSetup.arguments.yes) return true;
  QString question;
  if (ports.empty()) {
    question = "No logger is plugged in yet.\r\nStart the bench? Every logger plugged in from now on is erased and "
               "updated.";
  } else {
    question = "Start the bench?\r\nThe loggers on these ports are erased and updated now:";
    for (const TUsbPortIdentity& port : ports) {
      const std::string identity = identityText(port);
      question += "\r\n  " + toQt(port.port) + (identity.empty() ? QString() : " (" + toQt(identity) + ")");
    }
    question += "\r\nEvery logger plugged in later is updated too.";
  }
  return dialogHooks().confirm(this, question, TDefaultAnswer::No);
}

bool TfrmBench::makeRecords(std::chrono::system_clock::time_point start) {
  FReportFiles.reset();
  FCaseFile.reset();
  FReportErrors.str({});
  const std::string folder = recordsFolder();
  if (folder.empty()) return true;
  try {
    FReportFiles = std::make_unique<TReportFiles>(utf8Path(folder), std::vector<std::string>{}, start, FReportErrors);
    FCaseFile.emplace(utf8Path(folder), start);
  } catch (const std::runtime_error& e) {
    FReportFiles.reset();
    dialogHooks().showError(this, "The records folder \"" + toQt(folder) + "\" cannot be written: " + e.what() +
                                      "\r\nChoose another folder in Records, or empty it to keep no records.");
    return false;
  }
  return true;
}

bool TfrmBench::openRecords() {
  FRecords.reset();
  try {
    FRecords = std::make_unique<TBenchRecords>(FSetup.arguments.records);
  } catch (const std::exception& e) {  // TRecordStoreError, or a folder that cannot be made
    dialogHooks().showError(this, "The records store \"" + toQt(FSetup.arguments.records) +
                                      "\" cannot be used: " + e.what() +
                                      "\r\nNo logger was touched. Start the bench with another --records.");
    return false;
  }
  return true;
}

void TfrmBench::btnStartClick() {
  if (FThread.joinable()) return;  // a bench runs, or is ending
  std::vector<TUsbPortIdentity> taken;
  for (const TUsbPortIdentity& port : FPorts->lastSeen())
    if (portPassesFilters(port, filters())) taken.push_back(port);
  if (!askToStart(taken)) return;
  const auto start = std::chrono::system_clock::now();
  if (!openRecords()) return;
  if (!makeRecords(start)) {
    FRecords.reset();
    return;
  }
  FOptions = optionsShown();
  saveBenchOptions(FOptions);
  FStarted = start;
  startBench();
}

void TfrmBench::startBench() {
  FFilters = filters();
  FBenchSettings = TBenchSettings{};
  FBenchSettings.job.maxRepeats = kDefaultMaxRepeats;
  // Each port puts its own name in.
  FBenchSettings.job.request = jobRequest({}, TCmd::tCMD0, false, FSetup.sources, TJobChecks{});
  FBenchSettings.filters = FFilters;
  if (spnExpect->value() > 0) FBenchSettings.expect = spnExpect->value();
  FBenchSettings.pollEvery = FSetup.pollEvery;
  FBenchSettings.settle = FSetup.settle;
  if (FSetup.environmentFor) FBenchSettings.environmentFor = FSetup.environmentFor;
  else if (FSimulated) FBenchSettings.environmentFor = [this](const std::string& port) {
      return FSimulated->environmentFor(port);
    };

  // A new case: the rows start over.
  FJobs.clear();
  for (auto& [name, row] : FPortRows) row.job.reset();
  tblFinished->setRowCount(0);
  txtCaseReport->clear();
  FCounts = {};
  FCaseReportText.clear();

  FRows = std::make_unique<TBenchRows>();
  std::vector<IRunOutput*> outputs{FRows.get()};
  if (FReportFiles) outputs.push_back(FReportFiles.get());
  if (FRecords) outputs.push_back(FRecords->recorder());
  FOutputs = std::make_unique<TLockedOutputs>(std::move(outputs));
  FCancel = std::make_shared<TCancelToken>();
  FFinished = FStopped = false;
  FEverRan = true;
  setIdle(false);
  FThread = std::thread([this] {
    FResult = runBench(FBenchSettings, *FPorts, FCancel, *FOutputs);
    QMetaObject::invokeMethod(this, [this] { benchEnded(); }, Qt::QueuedConnection);
  });
}

void TfrmBench::btnStopClick() {
  if (!isRunning()) return;
  takeJobChanges();
  if (runningJobs() > 0) {
    const QString question = QString::number(runningJobs()) +
                             " updates are running!\r\nStop them? Their loggers wait in their bootloader and can "
                             "simply be updated again.";
    if (!dialogHooks().confirm(this, question, TDefaultAnswer::No)) return;
  }
  FStopped = true;
  FCancel->cancel();
  btnStop->setEnabled(false);
  statusBar()->showMessage("Stopping: the running updates end at their next step.");
}

void TfrmBench::stopAndWait() {
  if (!FThread.joinable()) return;
  FStopped = FStopped || !FFinished;
  FCancel->cancel();
  FThread.join();
  // The loop's own word came through the event queue, or will; this one
  // ends the case now, while the window still stands.
  benchEnded();
}

void TfrmBench::benchEnded() {
  if (FFinished) return;
  if (FThread.joinable()) FThread.join();
  FFinished = true;
  redraw();
  writeCaseReport(FResult);
  setIdle(true);
  const int finished = FCounts.updated + FCounts.failed;
  if (FStopped) statusBar()->showMessage("Stopped after " + QString::number(finished) + " loggers.");
  else statusBar()->showMessage("The case is complete: " + QString::number(finished) + " loggers.");
}

void TfrmBench::writeCaseReport(const TBenchResult& result) {
  TCaseReport report;
  report.started = FStarted;
  report.ended = std::chrono::system_clock::now();
  report.tool = std::string("kelvry-update ") + KELVRY_VERSION;
  report.cancelled = FStopped;
  report.success = kExitSuccess;
  report.loggers = result.loggers;
  report.images = installedImages(result.loggers);
  FCaseReportText = kelvry::caseReportText(report);
  txtCaseReport->setPlainText(toQt(FCaseReportText));
  QString problems = toQt(FReportErrors.str()).trimmed();
  if (FRecords) {
    for (const std::string& problem : FRecords->finish()) problems += (problems.isEmpty() ? "" : "\r\n") + toQt(problem);
    FRecords.reset();
  }
  if (FCaseFile) {
    if (const std::string failure = FCaseFile->write(FCaseReportText); !failure.empty())
      problems += (problems.isEmpty() ? "" : "\r\n") + QString("The case report \"") +
                  toQt(utf8Text(FCaseFile->path())) + "\" is incomplete: " + toQt(failure) +
                  ". Its text is in the window's Case report.";
  }
  if (!problems.isEmpty()) dialogHooks().showError(this, problems);
}

// --- drawing ---------------------------------------------------------------

void TfrmBench::redraw() {
  takeJobChanges();
  // While no bench runs, the window looks at the ports itself; the bench's
  // loop looks for it while it runs.
  if (!isRunning()) FPorts->present();
  const std::vector<TUsbPortIdentity> present = FPorts->lastSeen();
  if (!isRunning()) fillFilterChoices(present);
  matchRowsToPorts(present);
  for (int row = 0; row < static_cast<int>(FRowOrder.size()); ++row) drawRow(row, FPortRows.at(FRowOrder[row]));
  drawCounts();
}

void TfrmBench::takeJobChanges() {
  if (!FRows) return;
  TBenchRows::TChanges changes = FRows->takeChanges();
  if (changes.counts) FCounts = *changes.counts;
  for (auto& [index, job] : changes.jobs) {
    if (FJobs.size() <= index) FJobs.resize(index + 1);
    const bool newlyEnded = job.record && !FJobs[index].record;
    FJobs[index] = job;
    auto row = FPortRows.find(job.port);
    if (row == FPortRows.end()) {
      // The bench saw the port before the window did.
      row = FPortRows.emplace(job.port, TPortRow{}).first;
      row->second.identity.port = job.port;
      FRowOrder.push_back(job.port);
    }
    if (!row->second.job || *row->second.job < index) {
      row->second.job = index;
      row->second.jobIdentity = row->second.identity;
    }
    if (newlyEnded) {
      addFinished(job);
      soundFor(*job.record);
    }
  }
}

void TfrmBench::matchRowsToPorts(const std::vector<TUsbPortIdentity>& present) {
  std::set<std::string> names;
  for (const TUsbPortIdentity& identity : present) {
    names.insert(identity.port);
    auto [entry, isNew] = FPortRows.try_emplace(identity.port);
    if (isNew) FRowOrder.push_back(identity.port);
    TPortRow& row = entry->second;
    // Read once per logger: when the row appears, or another logger takes the port.
    if (!row.lastUpdatedFor || *row.lastUpdatedFor != identity.serialNumber) lookUpLastUpdate(row, identity);
    if (row.job && FJobs[*row.job].record && !row.jobIdentity.vendorId.empty() &&
        !sameDevice(row.jobIdentity, identity))
      row.job.reset();  // another logger on the same port
    if (!row.job || row.jobIdentity.vendorId.empty()) row.jobIdentity = identity;
    row.identity = identity;
  }
  // A row goes with its port, unless its logger is still being updated: the
  // job reads the unplug and ends with that failure first.
  for (auto it = FRowOrder.begin(); it != FRowOrder.end();) {
    const TPortRow& row = FPortRows.at(*it);
    const bool running = row.job && !FJobs[*row.job].record;
    if (names.contains(*it) || running) {
      ++it;
      continue;
    }
    tblPorts->removeRow(static_cast<int>(it - FRowOrder.begin()));
    FPortRows.erase(*it);
    it = FRowOrder.erase(it);
  }
  tblPorts->setRowCount(static_cast<int>(FRowOrder.size()));
}

void TfrmBench::lookUpLastUpdate(TPortRow& row, const TUsbPortIdentity& identity) {
  row.lastUpdatedFor = identity.serialNumber;
  row.lastUpdated = FLastUpdates.textFor(identity.serialNumber);
}

void TfrmBench::drawRow(int row, const TPortRow& port) {
  TRowFacts facts;
  facts.passesFilter = portPassesFilters(port.identity, isRunning() ? FFilters : filters());
  facts.benchRunning = isRunning();
  facts.benchEnded = FEverRan && !isRunning();
  if (port.job) facts.job = FJobs[*port.job];
  facts.success = kExitSuccess;
  const TRowText text = rowText(facts);

  const std::string identity = identityText(port.identity);
  const std::string logger = facts.job ? facts.job->logger : std::string();
  const std::string texts[] = {port.identity.port, identity,    logger,      "", text.word,
                               text.status,        text.result, port.lastUpdated};
  const QColor colour = stateColour(text.state);
  const bool grey = text.state == TRowState::OutsideFilter || text.state == TRowState::NotTaken;
  for (int column = 0; column < tblPorts->columnCount(); ++column) {
    QTableWidgetItem* item = cell(*tblPorts, row, column);
    item->setText(toQt(texts[column]));
    item->setBackground(colour.isValid() ? QBrush(colour) : QBrush());
    item->setForeground(grey ? QBrush(Qt::gray) : QBrush());
  }
  cell(*tblPorts, row, colIdentity)->setToolTip(toQt(usbIdentitySummary(port.identity)));
  if (facts.job && facts.job->record) cell(*tblPorts, row, colStatus)->setToolTip(toQt(facts.job->record->resultText));

  auto* bar = qobject_cast<QProgressBar*>(tblPorts->cellWidget(row, colProgress));
  if (!bar) {
    bar = new QProgressBar;
    bar->setRange(0, 100);
    tblPorts->setCellWidget(row, colProgress, bar);
  }
  const int percent = !facts.job ? 0 : text.state == TRowState::Done ? 100 : facts.job->percent;
  if (bar->value() != percent) bar->setValue(percent);
  const std::string left = facts.job && facts.job->running ? timeLeftText(facts.job->left) : std::string();
  const QString format = left.empty() ? "%p%" : "%p%  " + toQt(left);
  if (bar->format() != format) bar->setFormat(format);
  bar->setEnabled(!grey);
}

void TfrmBench::addFinished(const TBenchJobState& job) {
  const TPortRecord& record = *job.record;
  const int row = tblFinished->rowCount();
  tblFinished->insertRow(row);
  std::string serial;
  if (auto port = FPortRows.find(job.port); port != FPortRows.end()) serial = port->second.jobIdentity.serialNumber;
  const std::string result = record.exitStatus == kExitSuccess
                                 ? "done"
                                 : "failed (status " + std::to_string(record.exitStatus) + "): " +
                                       failureReason(record.resultText);
  const std::string texts[] = {QTime::currentTime().toString("hh:mm:ss").toStdString(),
                               job.port,
                               serial,
                               record.loggerBefore,
                               record.loggerAfter,
                               record.image,
                               result,
                               std::to_string(record.repeats),
                               durationText(record.duration)};
  for (int column = 0; column < tblFinished->columnCount(); ++column) {
    QTableWidgetItem* item = cell(*tblFinished, row, column);
    item->setText(toQt(texts[column]));
    item->setToolTip(toQt(record.resultText));
    item->setBackground(stateColour(record.exitStatus == kExitSuccess ? TRowState::Done : TRowState::Failed));
  }
  if (!record.imageSha256.empty()) cell(*tblFinished, row, 5)->setToolTip(toQt("SHA-256 " + record.imageSha256));
  tblFinished->resizeColumnsToContents();
  tblFinished->scrollToBottom();
}

void TfrmBench::soundFor(const TPortRecord& record) {
  if (record.exitStatus == kExitSuccess) {
    if (chkSoundDone->isChecked()) dialogHooks().beep();
    return;
  }
  if (!chkSoundFailed->isChecked()) return;
  // A failure sounds three times, so that it is told from a done one by ear.
  dialogHooks().beep();
  for (int i = 1; i < 3; ++i) QTimer::singleShot(250 * i, this, [] { dialogHooks().beep(); });
}

void TfrmBench::drawCounts() {
  QString text = toQt(benchCountsText(FCounts));
  if (FBenchSettings.expect && FEverRan)
    text += "  |  " + QString::number(FCounts.updated + FCounts.failed) + " of " +
            QString::number(*FBenchSettings.expect);
  if (lblCounts->text() != text) lblCounts->setText(text);
}

void TfrmBench::closeEvent(QCloseEvent* event) {
  if (isRunning()) {
    takeJobChanges();
    if (runningJobs() > 0 &&
        !dialogHooks().confirm(this, "The bench is updating loggers!\r\nDo you really close the program ?",
                               TDefaultAnswer::No)) {
      event->ignore();
      return;
    }
    FStopped = true;
    statusBar()->showMessage("Stopping: the running updates end at their next step.");
  }
  stopAndWait();
  if (!FThread.joinable()) saveBenchOptions(optionsShown());
  event->accept();
}

}  // namespace kelvry
