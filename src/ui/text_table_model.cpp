#include "ui/text_table_model.h"

#include "assessment/assessment_output.h"
#include "qt/widget_text.h"

namespace slm {

void TextTableModel::SetTable(FigureTable table) {
  beginResetModel();
  table_ = std::move(table);
  endResetModel();
}

int TextTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(table_.rows.size());
}

int TextTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(table_.columns.size());
}

QVariant TextTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount()) return {};
  const std::vector<Cell>& row = table_.rows[static_cast<std::size_t>(index.row())];
  const Column& column = table_.columns[static_cast<std::size_t>(index.column())];
  if (role == Qt::DisplayRole) {
    return Latin1(ShownText(column, row[static_cast<std::size_t>(index.column())]));
  }
  if (role == Qt::TextAlignmentRole) {
    return QVariant::fromValue(Qt::AlignVCenter |
                               (IsFigure(column) ? Qt::AlignRight : Qt::AlignLeft));
  }
  return {};
}

QVariant TextTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return section + 1;
  if (section < 0 || section >= columnCount()) return {};
  return Latin1(HeaderText(table_.columns[static_cast<std::size_t>(section)]));
}

}  // namespace slm
