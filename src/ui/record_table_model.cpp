#include "ui/record_table_model.h"

#include "qt/widget_text.h"

namespace slm {

namespace {
const char* const kTitles[3] = {"No.s", "Date Time", "dB"};
}  // namespace

RecordTableModel::RecordTableModel(QObject* parent) : QAbstractTableModel(parent) {}

void RecordTableModel::SetList(const RecordList* list) {
  beginResetModel();
  list_ = list;
  rows_ = list_ != nullptr ? static_cast<int>(list_->size()) : 0;
  endResetModel();
}

void RecordTableModel::Sync() {
  const int size = list_ != nullptr ? static_cast<int>(list_->size()) : 0;
  if (size == rows_) return;
  if (size > rows_) {
    beginInsertRows({}, rows_, size - 1);
    rows_ = size;
    endInsertRows();
    return;
  }
  beginResetModel();
  rows_ = size;
  endResetModel();
}

int RecordTableModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : rows_;
}

int RecordTableModel::columnCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : 3;
}

QVariant RecordTableModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid() || list_ == nullptr || index.row() >= rows_) return {};
  if (role == Qt::TextAlignmentRole) {
    return QVariant::fromValue(
        Qt::Alignment(index.column() == 1 ? Qt::AlignCenter : Qt::AlignRight | Qt::AlignVCenter));
  }
  if (role != Qt::DisplayRole) return {};
  const auto row = static_cast<size_t>(index.row());
  switch (index.column()) {
    case 0:
      return Latin1(list_->number(row));
    case 1:
      return Latin1(list_->date_time(row));
    default:
      return Latin1(list_->level(row));
  }
}

QVariant RecordTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (role != Qt::DisplayRole || orientation != Qt::Horizontal || section < 0 || section > 2) {
    return {};
  }
  return QString::fromLatin1(kTitles[section]);
}

}  // namespace slm
