#include "windows/side_column.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QScrollBar>

#include "qt/widget_text.h"

namespace slm {

SideColumn::SideColumn(const RecordList& list, QWidget* parent) : QWidget(parent), list_(list) {
  column_ = new QVBoxLayout(this);
  column_->setContentsMargins(4, 0, 0, 0);

  auto* settings = new QHBoxLayout;
  settings->addWidget(Board("SSTW", "Time Weight", BoardSFI, "BoardSFI"));
  settings->addWidget(Board("SSFreq", "Freq Weight", BoardCA, "BoardCA"));
  settings->addWidget(Board("SSSR", "Level Range", BoardLevel, "BoardLevel"));
  column_->addLayout(settings);

  auto* values = new QHBoxLayout;
  QWidget* max_box = Board("SSMax", "Max dB", BoardMaxdB, "BoardMaxdB");
  BoardMaxTime = Named<QLabel>("BoardMaxTime", "", max_box);
  BoardMaxTime->setAlignment(Qt::AlignCenter);
  max_box->layout()->addWidget(BoardMaxTime);
  values->addWidget(max_box, 2);
  values->addWidget(Board("SSLeq", "Leq", BoardLeq, "BoardLeq"), 1);
  values->addWidget(Board("SSSEL", "SEL", BoardSEL, "BoardSEL"), 1);
  column_->addLayout(values);

  auto* lower = new QHBoxLayout;
  GridN = new RecordTable(this);
  GridModel = GridN->records();
  GridModel->SetList(&list_);
  lower->addWidget(GridN);
  charts = new LiveCharts(this);
  lower->addWidget(charts, 1);
  column_->addLayout(lower, 1);
}

QWidget* SideColumn::Board(const char* frame_name, const char* caption, QLabel*& value,
                           const char* name) {
  auto* box = Named<QGroupBox>(frame_name, caption);
  auto* layout = new QVBoxLayout(box);
  value = Named<QLabel>(name, "", box);
  value->setAlignment(Qt::AlignCenter);
  value->setProperty("board", true);
  value->setMinimumHeight(36);
  layout->addWidget(value);
  return box;
}

void SideColumn::ShowSettings(const PanelDisplay& display) {
  BoardCA->setText(Latin1(display.board_ca));
  BoardSFI->setText(Latin1(display.board_sfi));
  BoardLevel->setText(Latin1(display.board_level));
}

void SideColumn::ShowRunningValues(const RunningValues& values) {
  BoardLeq->setText(Latin1(values.leq_text));
  BoardSEL->setText(Latin1(values.sel_text));
  BoardMaxdB->setText(Latin1(values.max_text));
  BoardMaxTime->setText(Latin1(values.max_time));
}

void SideColumn::ShowList(bool afresh) {
  if (afresh) {
    GridModel->SetList(&list_);
    return;
  }
  QScrollBar* bar = GridN->verticalScrollBar();
  const int before = bar->value();
  GridModel->Sync();
  // The list moves on by one row from where the user left it, so that
  // someone reading older rows keeps the place.
  if (GridModel->rowCount() > 3) bar->setValue(before + 1);
}

}  // namespace slm
