#include "ui/record_table_model.h"

namespace slm {

namespace {
const char* const kTitles[3] = {"No.s", "Date Time", "dB"};
}

RecordTableModel::RecordTableModel(QObject* parent) : QAbstractTableModel(parent) {}

int RecordTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : static_cast<int>(rows_.size());
}

int RecordTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : 3;
}

QVariant RecordTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  if (role == Qt::TextAlignmentRole) {
    return QVariant::fromValue(
        Qt::Alignment(index.column() == 1 ? Qt::AlignCenter : Qt::AlignRight | Qt::AlignVCenter));
  }
  if (role != Qt::DisplayRole) return {};
  return QString::fromLatin1(
      rows_[static_cast<size_t>(index.row())][static_cast<size_t>(index.column())].c_str());
}

QVariant RecordTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 || section > 2) {
    return {};
  }
  return QString::fromLatin1(kTitles[section]);
}

void RecordTableModel::Append(Row row) {
  const int at = static_cast<int>(rows_.size());
  beginInsertRows({}, at, at);
  rows_.push_back(std::move(row));
  endInsertRows();
}

void RecordTableModel::Clear() {
  beginResetModel();
  rows_.clear();
  endResetModel();
}

}  // namespace slm
