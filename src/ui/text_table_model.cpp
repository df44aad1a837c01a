#include "ui/text_table_model.h"

#include <algorithm>

#include "qt/widget_text.h"

namespace slm {

namespace {

// A figure: digits with a point or a minus, or what stands in for a figure.
bool Figure(const std::string& cell) {
  if (cell == "missing" || cell == "-") return true;
  return !cell.empty() && std::all_of(cell.begin(), cell.end(), [](char c) {
    return (c >= '0' && c <= '9') || c == '.' || c == '-';
  });
}

}  // namespace

void TextTableModel::SetTable(TextTable table) {
  beginResetModel();
  table_ = std::move(table);
  endResetModel();
}

int TextTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(table_.rows.size());
}

int TextTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(table_.header.size());
}

QVariant TextTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || index.row() >= rowCount()) return {};
  const std::vector<std::string>& row = table_.rows[static_cast<std::size_t>(index.row())];
  if (index.column() >= static_cast<int>(row.size())) return {};
  const std::string& cell = row[static_cast<std::size_t>(index.column())];
  if (role == Qt::DisplayRole) return Latin1(cell);
  if (role == Qt::TextAlignmentRole) {
    return QVariant::fromValue(Qt::AlignVCenter | (Figure(cell) ? Qt::AlignRight : Qt::AlignLeft));
  }
  return {};
}

QVariant TextTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole) return {};
  if (orientation == Qt::Vertical) return section + 1;
  if (section < 0 || section >= columnCount()) return {};
  return Latin1(table_.header[static_cast<std::size_t>(section)]);
}

}  // namespace slm
