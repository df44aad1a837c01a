#pragma once

#include <QGroupBox>
#include <QLabel>
#include <QTableWidget>
#include <QWidget>
#include <cstdint>
#include <functional>
#include <vector>

#include "logger/meter_logger.h"

namespace slm {

inline constexpr const char* kMemoryCaption = "Data Logger";

// The meter's memory directory: its size, what remains, and one row per
// stored set. A click on a row asks for that set (on_set_clicked); the panel
// downloads it.
class MemoryWindow : public QWidget {
 public:
  explicit MemoryWindow(QWidget* parent = nullptr);

  // Shows the directory and keeps the sets' numbers and record counts.
  void Show(const MemoryDirectory& directory);
  // A click on row `row` (0 for the first set).
  void RowClicked(int row);
  // While a download runs no other row is taken.
  void SetLocked(bool locked);
  bool locked() const { return locked_; }

  int set_count() const { return static_cast<int>(EraseSetNumbers.size()); }
  int records_of(int row) const { return records_[static_cast<std::size_t>(row)]; }

  std::function<void(int row)> on_set_clicked;

  // The meter's own number of each listed set, in the order of the rows.
  std::vector<std::uint16_t> EraseSetNumbers;

  QGroupBox* SSPanel1 = nullptr;
  QGroupBox* SSPanel2 = nullptr;
  QLabel* LblSize = nullptr;
  QLabel* LblRemain = nullptr;
  QTableWidget* GridSet = nullptr;
  QLabel* Process_lbl = nullptr;

 private:
  std::vector<int> records_;
  bool locked_ = false;
};

}  // namespace slm
