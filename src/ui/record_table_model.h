#pragma once

#include <QAbstractTableModel>
#include <array>
#include <string>
#include <vector>

namespace slm {

// The three columns of a record list: "No.s", "Date Time", "dB". One model
// keeps the three columns level, row for row.
class RecordTableModel : public QAbstractTableModel {
 public:
  using Row = std::array<std::string, 3>;
  explicit RecordTableModel(QObject* parent = nullptr);

  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role) const override;
  QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  void Append(Row row);
  void Clear();
  const Row& row(int i) const { return rows_[static_cast<size_t>(i)]; }

 private:
  std::vector<Row> rows_;
};

}  // namespace slm
