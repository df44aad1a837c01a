#include "ui/record_table.h"

#include <QHeaderView>

namespace slm {

RecordTable::RecordTable(QWidget* parent) : QTableView(parent), model_(new RecordTableModel(this)) {
  setObjectName("GridN");
  setModel(model_);
  // Tab leaves the table for the next control instead of walking its cells.
  setTabKeyNavigation(false);
  verticalHeader()->hide();
  verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 6);
  setEditTriggers(QAbstractItemView::NoEditTriggers);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  const QFontMetrics metrics(font());
  setColumnWidth(0, metrics.horizontalAdvance("ABADEAA"));
  setColumnWidth(1, metrics.horizontalAdvance("AAAAA/AA/AAHH:NN:SSA"));
  setColumnWidth(2, metrics.horizontalAdvance("ABADEAAA"));
  horizontalHeader()->setStretchLastSection(true);
  setMinimumWidth(metrics.horizontalAdvance("ABADEAAAAAAA/AA/AAHH:NN:SSAABADEAAA") + 20);
}

}  // namespace slm
