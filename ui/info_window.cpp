#include "ui/info_window.h"

#include <algorithm>

#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>

#include "firmware/firmware_sources.h"
#include "firmware/identity_names.h"
#include "ui/dialog_hooks.h"
#include "ui/window_geometry.h"

namespace kelvry {

namespace {

constexpr int kButtonPanelHeight = 37;
constexpr int kColumnSlack = 5;
constexpr int kWindowSlack = 30;

template <class TLookup>
QString nameOf(TLookup lookup, uint16_t number) {
  std::string name;
  lookup(number, name);
  return QString::fromStdString(name);
}

}  // namespace

QStringList overviewRow(const TBl3FileHeader& header) {
  std::string className;
  getClassName(header.tarvo_class, header.tarvo_print, className);
  return {
      QString::fromStdString(className),
      QString::asprintf("%d.%.2d", header.tarvo_verH, header.tarvo_verL),
      nameOf(getPlatformName, header.tarvo_platform),
      nameOf(getPrintName, header.tarvo_print),
      QString::fromStdString(header.tarvo_date),
      QString::asprintf("%d.%d", header.tarvo_bl, header.tarvo_bl_ver),
  };
}

TfrmInfo::TfrmInfo(QWidget* parent)
    : QDialog(parent), ListView1(new QTreeWidget(this)), Button1(new QPushButton("OK", this)) {
  setObjectName("frmInfo");
  setWindowTitle("Overview");
  ListView1->setObjectName("ListView1");
  ListView1->setHeaderLabels({"Firmware", "Version", "Platform", "Print", "Date", "BL"});
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
}

void TfrmInfo::fillRows() {
  ListView1->clear();
  std::vector<uint32_t> sources;
  if (selectedSource.load() == 0) sources.push_back(0);
  for (int32_t image = getImageCount(); image >= 1; --image) sources.push_back(static_cast<uint32_t>(image));
  for (uint32_t source : sources) {
    TBl3FileHeader header;
    getFirmwareHeader(source, header);
    ListView1->addTopLevelItem(new QTreeWidgetItem(overviewRow(header)));
  }
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
  move(ALeft, ATop);
  setOuterHeight(*this, AHeight);
  resize(fitColumns() + kWindowSlack, height());
  Button1->setFocus();
  return dialogHooks().execModal(*this);
}

}  // namespace kelvry
