#pragma once

#include <QAbstractTableModel>

#include "assessment/assessment_tables.h"

namespace slm {

// A table of the assessment's figures for a QTableView: the columns'
// captions over the values as people read them; figures line up on the
// right.
class TextTableModel : public QAbstractTableModel {
 public:
  using QAbstractTableModel::QAbstractTableModel;

  void SetTable(FigureTable table);
  const FigureTable& table() const { return table_; }

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  FigureTable table_;
};

}  // namespace slm
