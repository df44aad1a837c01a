#pragma once

#include <QAbstractTableModel>

#include "files/record.h"

namespace slm {

// The three columns of a record list, "No.s", "Date Time", "dB", over a
// RecordList that lives elsewhere. One model keeps the three columns level,
// row for row; the view asks only for the rows it shows, so a list of
// 348000 records costs nothing to display.
class RecordTableModel : public QAbstractTableModel {
 public:
  explicit RecordTableModel(QObject* parent = nullptr);

  // The list to show (not owned); nullptr shows an empty table.
  void SetList(const RecordList* list);
  const RecordList* list() const { return list_; }
  // Tells the views about rows added at the end since the last call. A list
  // that was emptied or started again is shown afresh with SetList.
  void Sync();

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

 private:
  const RecordList* list_ = nullptr;
  int rows_ = 0;  // rows the views know of
};

}  // namespace slm
