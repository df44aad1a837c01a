#pragma once

#include <QAbstractTableModel>

#include "assessment/assessment_tables.h"

namespace slm {

// A table of texts as the core writes it (a header and rows), for a
// QTableView; figures line up on the right.
class TextTableModel : public QAbstractTableModel {
 public:
  using QAbstractTableModel::QAbstractTableModel;

  void SetTable(TextTable table);
  const TextTable& table() const { return table_; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  TextTable table_;
};

}  // namespace slm
