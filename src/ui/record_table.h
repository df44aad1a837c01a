#pragma once

#include <QTableView>

#include "ui/record_table_model.h"

namespace slm {

// The record list of every window: one view with the three columns "No.s",
// "Date Time" and "dB", each as wide as its sample text in the view's font.
class RecordTable : public QTableView {
 public:
  explicit RecordTable(QWidget* parent = nullptr);
  RecordTableModel* records() const { return model_; }

 private:
  RecordTableModel* model_;
};

}  // namespace slm
