#include "ui/record_table.h"

#include <QHeaderView>
#include <QStyle>
#include <algorithm>

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
  // Each column as wide as the longest text it holds, and the view as wide
  // as its columns with a vertical scroll bar, so that no text is cut.
  const QFontMetrics metrics(font());
  const int padding = 2 * style()->pixelMetric(QStyle::PM_HeaderMargin) + 8;
  const char* const widest[3] = {"348000", "0000/00/00 00:00:00", "150.0*"};
  int total = 0;
  for (int column = 0; column < 3; ++column) {
    const int text = metrics.horizontalAdvance(widest[column]);
    const int header = horizontalHeader()->fontMetrics().horizontalAdvance(
        model_->headerData(column, Qt::Horizontal, Qt::DisplayRole).toString());
    setColumnWidth(column, std::max(text, header) + padding);
    total += columnWidth(column);
  }
  horizontalHeader()->setStretchLastSection(true);
  setMinimumWidth(total + 2 * frameWidth() + style()->pixelMetric(QStyle::PM_ScrollBarExtent) + 2);
}

}  // namespace slm
