#include "windows/memory_window.h"

#include <QFontMetrics>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QVBoxLayout>

#include "qt/widget_text.h"

namespace slm {

namespace {

QGroupBox* SizePanel(const char* name, const char* caption, QLabel*& value,
                     const char* value_name) {
  auto* box = Named<QGroupBox>(name, caption);
  auto* layout = new QVBoxLayout(box);
  value = Named<QLabel>(value_name, "", box);
  value->setAlignment(Qt::AlignCenter);
  layout->addWidget(value);
  return box;
}

QTableWidgetItem* Cell(const std::string& text, bool centred) {
  auto* item = new QTableWidgetItem(Latin1(text));
  item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
  if (centred) item->setTextAlignment(Qt::AlignCenter);
  return item;
}

}  // namespace

MemoryWindow::MemoryWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
  setObjectName("Memory");
  setWindowTitle(kMemoryCaption);
  auto* root = new QVBoxLayout(this);

  auto* sizes = new QHBoxLayout;
  SSPanel1 = SizePanel("SSPanel1", "Memory Size (MB)", LblSize, "LblSize");
  SSPanel2 = SizePanel("SSPanel2", "Remained (MB)", LblRemain, "LblRemain");
  sizes->addWidget(SSPanel1);
  sizes->addWidget(SSPanel2);
  root->addLayout(sizes);

  GridSet = Named<QTableWidget>("GridSet", 0, 3, this);
  GridSet->setHorizontalHeaderLabels({"Set", "Date Time", "Records"});
  GridSet->verticalHeader()->hide();
  GridSet->setSelectionBehavior(QAbstractItemView::SelectRows);
  GridSet->setSelectionMode(QAbstractItemView::SingleSelection);
  GridSet->setEditTriggers(QAbstractItemView::NoEditTriggers);
  GridSet->setTabKeyNavigation(false);
  const QFontMetrics metrics(font());
  const char* const widths[] = {"   Set   ", "000000Data Time000000", "  Records  "};
  int total = 0;
  for (int column = 0; column < 3; ++column) {
    const int width = metrics.horizontalAdvance(QString(widths[column]));
    GridSet->setColumnWidth(column, width);
    total += width;
  }
  GridSet->setMinimumWidth(total + 2 * GridSet->frameWidth() + 24);
  QObject::connect(GridSet, &QTableWidget::cellClicked, this,
                   [this](int row, int) { RowClicked(row); });
  root->addWidget(GridSet, 1);

  Process_lbl = Named<QLabel>("Process_lbl", "", this);
  root->addWidget(Process_lbl);
}

void MemoryWindow::Show(const MemoryDirectory& directory) {
  LblSize->setText(Latin1(MegabytesText(directory.size)));
  LblRemain->setText(Latin1(MegabytesText(directory.remaining)));
  EraseSetNumbers.clear();
  records_.clear();
  GridSet->setRowCount(static_cast<int>(directory.sets.size()));
  int row = 0;
  for (const MemorySet& set : directory.sets) {
    GridSet->setItem(row, 0, Cell(std::to_string(set.position), true));
    GridSet->setItem(row, 1, Cell(set.start, true));
    GridSet->setItem(row, 2, Cell(std::to_string(set.records), false));
    EraseSetNumbers.push_back(set.number);
    records_.push_back(set.records);
    ++row;
  }
  Process_lbl->clear();
}

void MemoryWindow::RowClicked(int row) {
  if (locked_ || row < 0 || row >= set_count()) return;
  if (on_set_clicked) on_set_clicked(row);
}

void MemoryWindow::SetLocked(bool locked) {
  locked_ = locked;
  GridSet->setEnabled(!locked);
}

}  // namespace slm
