#pragma once

#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>
#include <string>
#include <utility>
#include <vector>

#include "files/record.h"
#include "live/panel_display.h"
#include "live/pc_recorder.h"
#include "ui/record_table.h"
#include "windows/live_charts.h"

namespace slm {

// The panel's right column: the meter's settings and the running values on
// boards, the live assessment of the samples, the panel's list of samples
// and the live charts.
class SideColumn : public QWidget {
 public:
  SideColumn(const RecordList& list, QWidget* parent);

  // Puts `widget` at the top of the column (the erase picker).
  void AddOnTop(QWidget* widget) { column_->insertWidget(0, widget); }
  // The meter's settings as the last frame gave them.
  void ShowSettings(const PanelDisplay& display);
  void ShowRunningValues(const RunningValues& values);
  // The live assessment's lines, each a label and its value (PanelFigures).
  void ShowFigures(const std::vector<std::pair<std::string, std::string>>& rows);
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
  // The live assessment: LblFigure1, LblFigureValue1, LblFigure2...
  QGroupBox* LiveFigures = nullptr;
  RecordTable* GridN = nullptr;
  RecordTableModel* GridModel = nullptr;
  LiveCharts* charts = nullptr;

 private:
  QWidget* Board(const char* frame_name, const char* caption, QLabel*& value, const char* name);

  const RecordList& list_;
  QVBoxLayout* column_ = nullptr;
  QGridLayout* figures_ = nullptr;
  std::vector<std::pair<QLabel*, QLabel*>> figure_labels_;
};

}  // namespace slm
