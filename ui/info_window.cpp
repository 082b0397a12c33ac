#include "ui/info_window.h"

#include <algorithm>
#include <chrono>

#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>
#include <QWindow>

#include "frontend/firmware_overview.h"
#include "ui/dialog_hooks.h"
#include "ui/window_docking.h"

namespace kelvry {

namespace {

constexpr int kButtonPanelHeight = 37;
constexpr int kColumnSlack = 5;
constexpr int kWindowSlack = 30;
// How long the window waits for the window manager's frame after showing:
// polls of 10 ms, a second in all.
constexpr std::chrono::milliseconds kFramePollInterval{10};
constexpr int kFramePollTicks = 100;

}  // namespace

TfrmInfo::TfrmInfo(QWidget* parent)
    : QDialog(parent), ListView1(new QTreeWidget(this)), Button1(new QPushButton("OK", this)) {
  setObjectName("frmInfo");
  setWindowTitle("Overview");
  ListView1->setObjectName("ListView1");
  QStringList columns;
  for (const std::string& column : overviewColumns()) columns << QString::fromStdString(column);
  ListView1->setHeaderLabels(columns);
  ListView1->setRootIsDecorated(false);
  ListView1->setSortingEnabled(false);
  ListView1->setEditTriggers(QAbstractItemView::NoEditTriggers);
  ListView1->setSelectionMode(QAbstractItemView::SingleSelection);
  ListView1->header()->setSectionsClickable(false);
  ListView1->header()->setStretchLastSection(false);
  ListView1->setFocusPolicy(Qt::NoFocus);

  Button1->setObjectName("Button1");
  Button1->setFixedSize(98, 24);
  Button1->setDefault(true);
  auto* buttonPanel = new QWidget(this);
  buttonPanel->setFixedHeight(kButtonPanelHeight);
  auto* buttonRow = new QHBoxLayout(buttonPanel);
  buttonRow->addWidget(Button1, 0, Qt::AlignCenter);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(ListView1);
  layout->addWidget(buttonPanel);
  connect(Button1, &QPushButton::clicked, this, &QDialog::accept);
  FFramePoll.setInterval(kFramePollInterval);
  connect(&FFramePoll, &QTimer::timeout, this, &TfrmInfo::placeAgainInOwnFrame);
}

void TfrmInfo::setFirmware(const TFirmwareSources& sources, int32_t selectedSource) {
  FSources = sources;
  FSelectedSource = selectedSource;
}

void TfrmInfo::fillRows() {
  ListView1->clear();
  for (const TOverviewRow& row : overviewRows(FSources, FSelectedSource)) {
    QStringList cells;
    for (const std::string& cell : row) cells << QString::fromStdString(cell);
    ListView1->addTopLevelItem(new QTreeWidgetItem(cells));
  }
}

// Placed by its outer frame, as the main window it covers: a frame added
// below the given height would reach over the report's title bar. On a
// small screen the window is cut to the free area, where its columns
// scroll, so that its OK button stays within reach.
void TfrmInfo::placeOver(QPoint framePos, int outerHeight, int clientWidth, QMargins frame) {
  FPlace = TPlace{framePos, outerHeight, clientWidth};
  FFrameUsed = frame;
  QRect outer(framePos, QSize(clientWidth + frame.left() + frame.right(), outerHeight));
  const QWidget& model = parentWidget() ? *parentWidget() : *this;
  if (const QRect area = availableAreaFor(model); !area.isEmpty()) outer = keptOnArea(outer, area);
  setGeometry(QRect(outer.topLeft() + QPoint(frame.left(), frame.top()), outer.size().shrunkBy(frame)));
}

void TfrmInfo::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  FFrameTicks = 0;
  FFramePoll.start();
}

// A resizable window gets a frame of its own from the window manager (a
// resize handle at the bottom, for one); at its first showing the main
// window's frame stood in for it. The window learns of its frame only by
// asking, so it asks for a moment after showing, and once the frame is
// known and differs, the place is worked out again.
void TfrmInfo::placeAgainInOwnFrame() {
  const QMargins own = windowHandle() ? windowHandle()->frameMargins() : QMargins();
  if (own.isNull() && ++FFrameTicks < kFramePollTicks) return;
  FFramePoll.stop();
  if (own.isNull() || !FPlace || own == FFrameUsed) return;
  placeOver(FPlace->framePos, FPlace->outerHeight, FPlace->clientWidth, own);
}

int TfrmInfo::fitColumns() {
  QHeaderView* header = ListView1->header();
  int total = 0;
  for (int column = 0; column < ListView1->columnCount(); ++column) {
    const int fitsHeader = header->sectionSizeHint(column);
    // QTreeView hides its override; the base class offers it.
    const int fitsEntries = static_cast<const QAbstractItemView*>(ListView1)->sizeHintForColumn(column);
    const int width = std::max(fitsHeader, fitsEntries) + kColumnSlack;
    ListView1->setColumnWidth(column, width);
    total += width;
  }
  return total;
}

int TfrmInfo::Execute(int ALeft, int ATop, int AHeight) {
  fillRows();
  const QWidget& model = parentWidget() ? *parentWidget() : *this;
  placeOver(QPoint(ALeft, ATop), AHeight, fitColumns() + kWindowSlack, frameMarginsOf(*this, model));
  Button1->setFocus();
  return dialogHooks().execModal(*this);
}

}  // namespace kelvry
