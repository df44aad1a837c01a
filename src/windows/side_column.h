#pragma once

#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

#include "files/record.h"
#include "live/panel_display.h"
#include "live/pc_recorder.h"
#include "ui/record_table.h"
#include "windows/live_charts.h"

namespace slm {

// The panel's right column: the meter's settings and the running values on
// boards, the panel's list of samples and the live charts.
class SideColumn : public QWidget {
 public:
  SideColumn(const RecordList& list, QWidget* parent);

  // Puts `widget` at the top of the column (the erase picker).
  void AddOnTop(QWidget* widget) { column_->insertWidget(0, widget); }
  // The meter's settings as the last frame gave them.
  void ShowSettings(const PanelDisplay& display);
  void ShowRunningValues(const RunningValues& values);
  // The list after a sample (moved on by one row from where the user left
  // it) or afresh (emptied, or saved and started again).
  void ShowList(bool afresh);

  QLabel* BoardSFI = nullptr;
  QLabel* BoardCA = nullptr;
  QLabel* BoardLevel = nullptr;
  QLabel* BoardMaxdB = nullptr;
  QLabel* BoardMaxTime = nullptr;
  QLabel* BoardLeq = nullptr;
  QLabel* BoardSEL = nullptr;
  RecordTable* GridN = nullptr;
  RecordTableModel* GridModel = nullptr;
  LiveCharts* charts = nullptr;

 private:
  QWidget* Board(const char* frame_name, const char* caption, QLabel*& value, const char* name);

  const RecordList& list_;
  QVBoxLayout* column_ = nullptr;
};

}  // namespace slm
